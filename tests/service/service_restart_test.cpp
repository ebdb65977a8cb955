// SPDX-License-Identifier: Apache-2.0
// What comes back when the service's process ends and init starts it again, for each kind of
// request a client can make, and what start-up reads back once it has prepared the device.
#include <sys/system_properties.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "led_writes.h"
#include "service_fixture.h"

namespace {

constexpr const char* kTag = "vendor.quorin.hal-service";
constexpr int kError = 6;

const Write kMuted{test_paths::kAdcMute, "1"};

// One LED request of a client, and the exception it must answer.
struct LedRequest {
    enum Kind { kState, kColor } kind;
    int32_t index;
    int32_t value;
    binder_exception_t answer = EX_NONE;
};

struct RestartCase {
    const char* name;
    std::vector<LedRequest> requests;  // of the process that ends, in order
    Writes replayed;                   // the new process's LED writes, in order
    const char* saved;                 // the saved triple once it serves
};

class ServiceRestartTest : public ServiceTest, public ::testing::WithParamInterface<RestartCase> {};

// The library replays only the saved (led index, state), through the state machine, from the
// model a new process starts with (all LEDs blinking); then start-up mutes the microphone.
TEST_P(ServiceRestartTest, ComesBackAsTheSavedRequestReplays) {
    ASSERT_TRUE(start_service());
    for (const LedRequest& r : GetParam().requests) {
        const ndk::ScopedAStatus status = r.kind == LedRequest::kState
                                                  ? client()->setLedState(r.index, r.value)
                                                  : client()->setLedColor(r.index, r.value);
        EXPECT_EQ(status.getExceptionCode(), r.answer) << status.getDescription();
    }
    ASSERT_TRUE(restart_service());
    EXPECT_EQ(sysfs.writes(), joined(GetParam().replayed, Writes{kMuted}));
    EXPECT_EQ(saved_triple(), GetParam().saved);
}

void ok(const ndk::ScopedAStatus& status) {
    EXPECT_TRUE(status.isOk()) << status.getDescription();
}

constexpr LedRequest::Kind kState = LedRequest::kState;
constexpr LedRequest::Kind kColor = LedRequest::kColor;
const Writes kStandby = pattern("none", "0", "1", "0");
const Writes kAllOn = pattern("none", "1", "1", "1");
const Writes kSysAlone = pattern("none", "0", "0", "1");
const Writes kRemoteBlinking = {
        bright(L::kGreen, "0"),    bright(L::kSys, "0"),    bright(L::kRemote, "1"),
        trig(L::kRemote, "timer"), trig(L::kGreen, "none"), trig(L::kSys, "none"),
};
// One flash, then all LEDs blinking: the model of a new process.
const Writes kFlashThenAllBlinking =
        joined(triggers("none"), brightness("0", "0", "0"), brightness("1", "1", "1"),
               brightness("0", "0", "0"), triggers("timer"), brightness("1", "1", "1"));

const RestartCase kRestartCases[] = {
        {"standby", {{kState, 0, 0}}, kStandby, "0,0,2"},
        {"all_steady", {{kState, 0, 1}}, kAllOn, "0,1,10"},
        {"all_steady_state_4", {{kState, 0, 4}}, kAllOn, "0,4,10"},
        {"sys_alone", {{kState, 0, 220}}, kSysAlone, "0,220,1"},
        {"remote_blinking", {{kState, 1, 200}}, kRemoteBlinking, "1,200,0"},
        {"all_steady_index_1", {{kState, 1, 201}}, kAllOn, "1,201,10"},
        {"flash_is_not_saved", {{kState, 0, 1}, {kState, 3, 2}}, kAllOn, "0,1,10"},
        {"outside_the_table_is_not_saved", {{kState, 0, 0}, {kState, 0, 2}}, kStandby, "0,0,2"},
        {"refused_in_standby_is_not_saved", {{kState, 0, 0}, {kState, 1, 200}}, kStandby, "0,0,2"},
        // A colour request saves (led index, 1 steady or 2 blinking, colour); the colour is not
        // replayed. On a steady panel led index 0 comes back as all three LEDs on, whatever the
        // colour.
        {"green_on_a_steady_panel", {{kState, 0, 1}, {kColor, 0, 2}}, kAllOn, "0,1,10"},
        {"remote_on_a_steady_panel", {{kState, 0, 1}, {kColor, 0, 0}}, kAllOn, "0,1,10"},
        // (0, 2) and (1, 1) are outside the request table: nothing is drawn.
        {"all_on_a_blinking_panel", {{kColor, 0, 10}}, Writes{}, "0,2,10"},
        {"index_1_on_a_steady_panel", {{kState, 0, 1}, {kColor, 1, 2}}, Writes{}, "1,1,2"},
        // (3, 2) is the flash.
        {"index_3_on_a_blinking_panel", {{kColor, 3, 10}}, kFlashThenAllBlinking, "3,2,10"},
        // Refused by the service: saved, -1 would read as "nothing saved".
        {"negative_index_keeps_the_saved_request",
         {{kState, 0, 0}, {kColor, -1, 10, EX_ILLEGAL_ARGUMENT}},
         kStandby,
         "0,0,2"},
};
INSTANTIATE_TEST_SUITE_P(Service, ServiceRestartTest, ::testing::ValuesIn(kRestartCases),
                         CaseName());

using ServiceRestartMicTest = ServiceTest;

// Microphone requests are not saved. The microphone of a new process: muted, the previous patch
// released, the volume and the echo level back to 0 (the ADC keeps the volume last written),
// nothing sent to the port.
TEST_F(ServiceRestartMicTest, MicrophoneComesBackMutedAtZero) {
    ASSERT_TRUE(start_service());
    ok(client()->setMicMuted(false));
    ok(client()->setMicVolume(57));
    ok(client()->setMicEchoLevel(40));
    ASSERT_TRUE(restart_service());
    EXPECT_EQ(sysfs.writes(), Writes{kMuted});
    EXPECT_EQ(saved_triple(), "<unset>,<unset>,<unset>");
    const std::vector<std::string> journal = hal_sim::journal();
    EXPECT_NE(std::find(journal.begin(), journal.end(), "port.releaseAudioPatchTarsk"),
              journal.end());
    EXPECT_TRUE(std::none_of(journal.begin(), journal.end(), [](const std::string& event) {
        return event.rfind("port.setParameters", 0) == 0;
    }));
    EXPECT_EQ(property("vendor.quorin.micstate"), "0");
    EXPECT_EQ(sysfs.contents(test_paths::kAdcVolume), "23");
    int32_t value = -1;
    ok(client()->getMicVolume(&value));
    EXPECT_EQ(value, 0);
    ok(client()->getMicEchoLevel(&value));
    EXPECT_EQ(value, 0);
}

struct DisagreementCase {
    const char* name;
    std::function<void(ServiceTest&)> arrange;  // before start-up
    const char* found;
};

class StartUpCheckTest : public ServiceTest,
                         public ::testing::WithParamInterface<DisagreementCase> {};

// What start-up reads back against what it set: one ERROR line naming it, and the dump says it.
TEST_P(StartUpCheckTest, DisagreementIsLoggedAndDumped) {
    GetParam().arrange(*this);
    logs.clear();
    ASSERT_TRUE(start_service());
    const std::string found = GetParam().found;
    const std::vector<LogLine> lines = service_lines(logs.lines());
    EXPECT_NE(std::find(lines.begin(), lines.end(), LogLine{kError, kTag, "start-up: " + found}),
              lines.end())
            << ::testing::PrintToString(lines);
    EXPECT_NE(dump_text().find("  start-up check  " + found + "\n"), std::string::npos);
}

const DisagreementCase kDisagreementCases[] = {
        {"mute_attribute_missing", [](ServiceTest& t) { t.sysfs.remove(test_paths::kAdcMute); },
         "the ADC's mute attribute "
         "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018/adc3101_mute_ctl "
         "cannot be read after the mute: the microphone may be live"},
        {"record_unwritable",
         [](ServiceTest&) { hal_sim::refuse_property_set("vendor.quorin.micstate"); },
         "vendor.quorin.micstate cannot be set (it stays unset after \"0\"): each unmute creates "
         "another audio patch and no mute releases one"},
        {"record_stuck_enabled",
         [](ServiceTest&) {
             __system_property_set("vendor.quorin.micstate", "1");
             hal_sim::refuse_property_set("vendor.quorin.micstate");
         },
         "vendor.quorin.micstate still reads \"1\" after the mute released the patch: the record "
         "cannot be written, and an unmute creates no patch"},
        {"saved_state_not_a_number",
         [](ServiceTest& t) {
             t.lib->SaveProperty(0, 1, 10);
             __system_property_set("vendor.quorin.ledstate", "on");
         },
         "vendor.quorin.ledstate holds \"on\", not a number: the replay read its default"},
        {"saved_colour_missing",
         [](ServiceTest&) {
             __system_property_set("vendor.quorin.ledindex", "0");
             __system_property_set("vendor.quorin.ledstate", "1");
         },
         "vendor.quorin.ledcolor is not set beside a saved led index: the replay read its "
         "default"},
};
INSTANTIATE_TEST_SUITE_P(Service, StartUpCheckTest, ::testing::ValuesIn(kDisagreementCases),
                         CaseName());

}  // namespace
