// SPDX-License-Identifier: Apache-2.0
// halctl's commands through the hosting service, run in this process beside the service (the
// binder stand-in carries no transaction between processes): the commands halctl parses, sent
// as the service's methods, and what a bring-up engineer then sees: the exit status, the output,
// the device's attributes.
#include <set>
#include <string>
#include <vector>

#include "service_fixture.h"
#include "service_route.h"

using test_paths::kAdcMute;
using test_paths::kAdcVolume;
using test_paths::kGreenBrightness;
using test_paths::kRemoteBrightness;
using test_paths::kRemoteTrigger;
using test_paths::kSysBrightness;

namespace {

struct Sent {
    int status;
    std::string out;
    std::string err;
};

// Parses the command line as halctl does and sends it through the route halctl takes.
Sent send_line(const std::vector<std::string>& words) {
    const ParseResult parsed = parse_command(words, false);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    if (!parsed.ok) return {-1, "", ""};
    EXPECT_TRUE(served_by_service(*parsed.command.def));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = send_to_service(parsed.command);
    EXPECT_EQ(fflush(stdout), 0);
    std::string out = testing::internal::GetCapturedStdout();
    return {status, out, testing::internal::GetCapturedStderr()};
}

struct RouteCase {
    const char* name;
    std::vector<std::string> before;  // sent first, each must succeed
    std::vector<std::string> words;
    int status;
    const char* out;
    const char* path;      // an attribute to read afterwards, or null
    const char* contents;  // what it shows
};

class HalctlRouteTest : public ServiceTest, public testing::WithParamInterface<RouteCase> {};

TEST_P(HalctlRouteTest, CommandDrivesTheRunningService) {
    const RouteCase& c = GetParam();
    ASSERT_TRUE(start_service());
    ASSERT_TRUE(service_registered());
    if (!c.before.empty()) {
        ASSERT_EQ(send_line(c.before).status, kExitOk);
    }
    const Sent sent = send_line(c.words);
    EXPECT_EQ(sent.status, c.status) << sent.err;
    EXPECT_EQ(sent.out, c.out);
    if (c.status == kExitOk) {
        EXPECT_EQ(sent.err, "");
    }
    if (c.path != nullptr) {
        EXPECT_EQ(sysfs.contents(c.path), c.contents);
    }
}

const RouteCase kRouteCases[] = {
        {"standby", {}, {"led", "state", "0", "0"}, kExitOk, "", kRemoteBrightness, "0"},
        {"all_steady",
         {"led", "state", "0", "0"},
         {"led", "state", "0", "1"},
         kExitOk,
         "",
         kSysBrightness,
         "1"},
        {"remote_blinking",
         {"led", "state", "0", "1"},
         {"led", "state", "1", "200"},
         kExitOk,
         "",
         kRemoteTrigger,
         "timer"},
        {"colour_green",
         {"led", "state", "0", "1"},
         {"led", "color", "0", "2"},
         kExitOk,
         "",
         kGreenBrightness,
         "1"},
        {"negative_state_is_minus_one",
         {},
         {"led", "state", "0", "-1"},
         kExitMinusOne,
         "",
         nullptr,
         nullptr},
        {"unmute", {}, {"mic", "on"}, kExitOk, "", kAdcMute, "0"},
        {"mute", {"mic", "on"}, {"mic", "off"}, kExitOk, "", kAdcMute, "1"},
        {"onoff_any_nonzero_mutes",
         {"mic", "on"},
         {"mic", "onoff", "7"},
         kExitOk,
         "",
         kAdcMute,
         "1"},
        {"volume", {}, {"mic", "volume", "57"}, kExitOk, "", kAdcVolume, "23"},
        {"volume_read",
         {"mic", "volume", "250"},
         {"mic", "get-volume"},
         kExitOk,
         "100\n",
         nullptr,
         nullptr},
        {"echo_read", {"mic", "echo", "-20"}, {"mic", "get-echo"}, kExitOk, "0\n", nullptr, nullptr},
};
INSTANTIATE_TEST_SUITE_P(Service, HalctlRouteTest, testing::ValuesIn(kRouteCases), CaseName());

using HalctlRouteServiceTest = ServiceTest;

// The service's refusal reaches the engineer with its status and message.
TEST_F(HalctlRouteServiceTest, RefusalSaysWhatTheServiceAnswered) {
    ASSERT_TRUE(start_service());
    const Sent sent = send_line({"led", "color", "0", "-5"});
    EXPECT_EQ(sent.status, kExitMinusOne);
    EXPECT_EQ(sent.err,
              "halctl: led color: the hosting service refused it: Status(-3, "
              "EX_ILLEGAL_ARGUMENT): 'setLedColor: colour -5 is negative'\n");
}

// A service that stopped serving fails the command, exit 3, rather than passing for applied.
TEST_F(HalctlRouteServiceTest, StoppedServiceIsAFailure) {
    ASSERT_TRUE(start_service());
    stop_service();
    const Sent sent = send_line({"mic", "volume", "10"});
    EXPECT_EQ(sent.status, kExitFailure);
    EXPECT_NE(sent.err.find("halctl: mic volume: the hosting service failed: "), std::string::npos)
            << sent.err;
    EXPECT_TRUE(sysfs.writes().empty() || sysfs.writes().back().path != kAdcVolume);
}

// show and the doctor say which way the requests go, registered or not, forced or not.
TEST_F(HalctlRouteServiceTest, RequestPathSaysWhichWayRequestsGo) {
    EXPECT_FALSE(service_registered());
    EXPECT_EQ(request_path_text(false),
              "the library, loaded by halctl (vendor.quorin.hal.IQuorinHal/default is not found "
              "in the service manager)");
    ASSERT_TRUE(start_service());
    EXPECT_EQ(request_path_text(false),
              "through the hosting service vendor.quorin.hal.IQuorinHal/default (LED state and "
              "colour, microphone mute, volume and echo)");
    EXPECT_EQ(request_path_text(true),
              "the library, loaded by halctl (--force, beside the registered "
              "vendor.quorin.hal.IQuorinHal/default)");
}

// Exactly the LED and microphone requests the interface serves go to the service: a renamed
// command would otherwise fall silently to the library.
TEST(HalctlRoute, ServesTheInterfacesRequestsOnly) {
    std::set<std::string> served;
    for (const CommandDef* def : commands()) {
        if (served_by_service(*def)) served.insert(command_name(*def));
    }
    const std::set<std::string> expected = {"led state", "led color",      "mic on",
                                            "mic off",   "mic onoff",      "mic volume",
                                            "mic echo",  "mic get-volume", "mic get-echo"};
    EXPECT_EQ(served, expected);
}

}  // namespace
