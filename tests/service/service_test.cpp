// SPDX-License-Identifier: Apache-2.0
// The hosting service as a client and init see it: its start-up, its answers to refused and
// faulty calls, its dump, its registration and its one thread.
#include <android/binder_manager.h>
#include <sys/system_properties.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <future>
#include <stdexcept>
#include <string>

#include "binder_sim/binder_sim.h"
#include "quorin_hal_service.h"
#include "service_fixture.h"

using aidl::vendor::quorin::hal::IQuorinHal;
using ndk::ScopedAStatus;
using test_paths::kAdcMute;
using test_paths::kAdcVolume;
using test_paths::kGreenBrightness;
using test_paths::kGreenTrigger;
using test_paths::kRemoteBrightness;
using test_paths::kRemoteTrigger;
using test_paths::kSysBrightness;
using test_paths::kSysTrigger;

namespace {

// The service's own log tag, as logcat shows it.
constexpr const char* kTag = "vendor.quorin.hal-service";
constexpr int kWarn = 5;
constexpr int kError = 6;

bool contains(const std::vector<std::string>& events, const std::string& event) {
    return std::find(events.begin(), events.end(), event) != events.end();
}

bool contains_line(const std::vector<LogLine>& lines, const LogLine& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// What the device had been given when the name was registered.
struct AtRegistration {
    std::vector<fake_sysfs::Write> writes;
    std::vector<std::string> journal;
    bool seen = false;
};

class ServiceStartTest : public ServiceTest {
  protected:
    void watch_registration() {
        binder_sim::set_registration_hook([this](const std::string& name) {
            if (name != kServiceInstance) return;
            at_registration.writes = sysfs.writes();
            at_registration.journal = hal_sim::journal();
            at_registration.seen = true;
        });
    }
    AtRegistration at_registration;
};

// The name is registered before the device is prepared, and the first call is served after the
// saved "all LEDs steady" request is replayed and the microphone muted.
TEST_F(ServiceStartTest, PreparesTheDeviceBeforeTheFirstCallIsServed) {
    lib->SaveProperty(0, 1, 10);
    hal_sim::clear_journal();
    watch_registration();
    ASSERT_TRUE(start_service());
    ASSERT_TRUE(at_registration.seen);
    EXPECT_TRUE(at_registration.writes.empty());
    const std::vector<fake_sysfs::Write> prepared = {
            {kRemoteTrigger, "none"}, {kGreenTrigger, "none"}, {kSysTrigger, "none"},
            {kRemoteBrightness, "1"}, {kGreenBrightness, "1"}, {kSysBrightness, "1"},
            {kAdcMute, "1"},
    };
    EXPECT_EQ(sysfs.writes(), prepared);  // and nothing after it, with no client
    EXPECT_TRUE(contains(hal_sim::journal(), "client.setProperty vendor.quorin.ledstate=1"));
    ASSERT_TRUE(client()->setMicVolume(57).isOk());
    std::vector<fake_sysfs::Write> then = prepared;
    then.push_back({kAdcVolume, "23"});
    EXPECT_EQ(sysfs.writes(), then);
    EXPECT_EQ(binder_sim::registered_services(), std::vector<std::string>{kServiceInstance});
}

// After a restart the record may say "1" for a patch of the previous process: start-up releases
// it and records "0", with the ADC muted, so that the three agree.
TEST_F(ServiceStartTest, MicrophoneStartsMutedWithTheRecordReleased) {
    hal_sim::clear_properties();
    ASSERT_EQ(__system_property_set("vendor.quorin.micstate", "1"), 0);
    hal_sim::clear_journal();
    ASSERT_TRUE(start_service());
    EXPECT_EQ(sysfs.writes(), (std::vector<fake_sysfs::Write>{{kAdcMute, "1"}}));
    EXPECT_TRUE(contains(hal_sim::journal(), "port.releaseAudioPatchTarsk"));
    EXPECT_EQ(property("vendor.quorin.micstate"), "0");
    // A client's unmute then creates the patch again.
    ASSERT_TRUE(client()->setMicMuted(false).isOk());
    EXPECT_TRUE(contains(hal_sim::journal(), "port.createAudioPatchTarsk"));
    EXPECT_EQ(property("vendor.quorin.micstate"), "1");
}

// The system-control service comes up late: one line per look that finds none, then the replay.
TEST_F(ServiceStartTest, WaitsForTheSystemControlService) {
    lib->SaveProperty(1, 200, 0);
    hal_sim::ClientControl control;
    control.absent_requests = hal_sim::instance_requests() + 3;
    hal_sim::set_client_control(control);
    logs.clear();
    ASSERT_TRUE(start_service());
    const std::vector<LogLine> expected = {
            {kInfo, kTag, "waiting for the system-control service (look 1)"},
            {kInfo, kTag, "waiting for the system-control service (look 2)"},
            {kInfo, kTag, "waiting for the system-control service (look 3)"},
            {kInfo, kTag, "the system-control service is up"},
            {kInfo, kTag, "registering vendor.quorin.hal.IQuorinHal/default"},
    };
    EXPECT_EQ(service_lines(logs.lines()), expected);
    EXPECT_EQ(sysfs.contents(kRemoteTrigger).substr(0, 5), "timer");  // remote blinking
}

// A look that takes longer than the whole wait (getInstance() blocking in a service manager that
// is slow to answer) is the last: the wait is bounded in time, not in looks. The service says so
// and serves all the same.
TEST_F(ServiceStartTest, WaitEndsAtItsDeadlineHoweverSlowALook) {
    hal_sim::ClientControl control;
    control.available = false;
    control.instance_delay_us = 200000;
    hal_sim::set_client_control(control);
    options.wait_deadline = std::chrono::milliseconds(50);
    options.wait_interval = std::chrono::milliseconds(20);
    logs.clear();
    ASSERT_TRUE(start_service());
    const std::vector<LogLine> expected = {
            {kWarn, kTag,
             "the system-control service is not up within 50 ms (1 look); going on without the "
             "saved LED request"},
            {kInfo, kTag, "registering vendor.quorin.hal.IQuorinHal/default"},
    };
    EXPECT_EQ(service_lines(logs.lines()), expected);
    int32_t volume = -1;
    ASSERT_TRUE(client()->setMicVolume(57).isOk());
    ASSERT_TRUE(client()->getMicVolume(&volume).isOk());
    EXPECT_EQ(volume, 57);
}

// A second server of the instance is refused, and that process ends with a failure before it
// touches the device.
TEST_F(ServiceStartTest, SecondRegistrationIsRefused) {
    ASSERT_TRUE(start_service());
    sysfs.clear();
    logs.clear();
    EXPECT_EQ(run_service(lib.api(), options), EXIT_FAILURE);
    const std::vector<LogLine> lines = service_lines(logs.lines());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), (LogLine{kError, kTag,
                                     "registering vendor.quorin.hal.IQuorinHal/default was "
                                     "refused: exception -5"}));
    EXPECT_TRUE(sysfs.writes().empty());
    EXPECT_EQ(binder_sim::registered_services(), std::vector<std::string>{kServiceInstance});
    int32_t volume = -1;
    EXPECT_TRUE(client()->getMicVolume(&volume).isOk());  // the first one still serves
}

// A client learns the frozen version it talks to and its hash, as Android 12's code answers them.
TEST_F(ServiceStartTest, AnswersItsVersionAndHash) {
    ASSERT_TRUE(start_service());
    const auto hal = client();
    int32_t version = 0;
    ASSERT_TRUE(hal->getInterfaceVersion(&version).isOk());
    EXPECT_EQ(version, 1);
    std::ifstream file(QUORIN_SOURCE_DIR "/device/aidl/aidl_api/vendor.quorin.hal/1/.hash");
    std::string frozen;
    std::getline(file, frozen);
    std::string hash;
    ASSERT_TRUE(hal->getInterfaceHash(&hash).isOk());
    EXPECT_EQ(hash, frozen);
    EXPECT_EQ(hash.size(), 40U);
}

struct RegistrationCase {
    const char* name;
    std::function<void()> refuse;
    const char* line;
};

class RegistrationRefusedTest : public ServiceTest,
                                public ::testing::WithParamInterface<RegistrationCase> {};

// The servicemanager's refusal is named in the log, and the process ends before it touches the
// device: init's restarts every 5 s replay nothing and mute nothing.
TEST_P(RegistrationRefusedTest, NamesTheRefusalAndLeavesTheDeviceAlone) {
    lib->SaveProperty(0, 1, 10);
    hal_sim::clear_journal();
    GetParam().refuse();
    logs.clear();
    EXPECT_EQ(run_service(lib.api(), options), EXIT_FAILURE);
    EXPECT_TRUE(binder_sim::registered_services().empty());
    const std::vector<LogLine> lines = service_lines(logs.lines());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), (LogLine{kError, kTag, GetParam().line}));
    EXPECT_TRUE(sysfs.writes().empty());
    EXPECT_TRUE(set_property_calls().empty());
}

const RegistrationCase kRegistrationCases[] = {
        {"selinux_denial", [] { binder_sim::deny_add(kServiceInstance); },
         "registering vendor.quorin.hal.IQuorinHal/default was refused: EX_SECURITY, an SELinux "
         "denial (service_contexts must label the name hal_quorin_service, and "
         "hal_quorin_default must be allowed to add it; the avc line names the missing rule)"},
        {"not_in_the_manifest", [] { binder_sim::reset(); },
         "registering vendor.quorin.hal.IQuorinHal/default was refused: EX_ILLEGAL_ARGUMENT, the "
         "instance is not in the device's VINTF manifest (the service's vintf_fragments)"},
};
INSTANTIATE_TEST_SUITE_P(Service, RegistrationRefusedTest, ::testing::ValuesIn(kRegistrationCases),
                         CaseName());

// Android 12 fails the bound only when the driver's ioctl fails: said so, and nothing served.
TEST_F(ServiceStartTest, RefusedThreadPoolBoundEndsTheServiceBeforeAnything) {
    binder_sim::fail_max_threads(EIO);
    logs.clear();
    auto life = std::async(std::launch::async, [&] { return run_service(lib.api(), options); });
    // A service that goes on registers: stop it then, so that the test fails rather than hangs.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (life.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready &&
           std::chrono::steady_clock::now() < give_up) {
        if (!binder_sim::registered_services().empty()) binder_sim::stop_thread_pool();
    }
    EXPECT_EQ(life.get(), EXIT_FAILURE);
    EXPECT_EQ(service_lines(logs.lines()),
              (std::vector<LogLine>{{kError, kTag,
                                     "the binder driver refused the bound of no pool thread "
                                     "(BINDER_SET_MAX_THREADS; libbinder logs its error)"}}));
    EXPECT_TRUE(binder_sim::registered_services().empty());
    EXPECT_TRUE(sysfs.writes().empty());
}

int throwing_init() {
    throw std::runtime_error("system-control client gone");
}

// A platform component's fault in the replay is logged; the microphone is still muted and the
// service serves.
TEST_F(ServiceStartTest, FaultInTheReplayIsLoggedAndStartUpGoesOn) {
    HalApi api = lib.api();
    api.Init = throwing_init;
    logs.clear();
    ASSERT_TRUE(start_service(&api));
    EXPECT_TRUE(contains_line(logs.lines(), {kError, kTag,
                                             "start-up: replaying the saved LED request failed: "
                                             "system-control client gone"}));
    EXPECT_EQ(sysfs.writes(), (std::vector<fake_sysfs::Write>{{kAdcMute, "1"}}));
    EXPECT_TRUE(client()->setLedState(0, 1).isOk());
}

struct RefusedCase {
    const char* name;
    std::function<ScopedAStatus(IQuorinHal&)> call;
    const char* message;
    LogLine line;  // who refused it: the library's entry line, or the service's own
};

class ServiceRefusalTest : public ServiceTest, public ::testing::WithParamInterface<RefusedCase> {};

// A negative state or colour (refused by the library, which logs the call), or a negative led
// index of a colour request (refused by the service, which the library would save as "nothing
// saved"): EX_ILLEGAL_ARGUMENT with a message, nothing written, the saved request kept.
TEST_P(ServiceRefusalTest, NegativeArgumentIsIllegalAndWritesNothing) {
    ASSERT_TRUE(start_service());
    ASSERT_TRUE(client()->setLedState(0, 0).isOk());
    sysfs.clear();
    logs.clear();
    hal_sim::clear_journal();
    const ScopedAStatus status = GetParam().call(*client());
    EXPECT_EQ(status.getExceptionCode(), EX_ILLEGAL_ARGUMENT);
    EXPECT_STREQ(status.getMessage(), GetParam().message);
    EXPECT_TRUE(contains_line(logs.lines(), GetParam().line))
            << ::testing::PrintToString(logs.lines());
    EXPECT_TRUE(sysfs.writes().empty());
    EXPECT_TRUE(set_property_calls().empty());
    EXPECT_EQ(saved_triple(), "0,0,2");
}

const RefusedCase kRefusedCases[] = {
        {"state", [](IQuorinHal& h) { return h.setLedState(0, -1); },
         "setLedState: LED state -1 is negative", state_entry_line(0, -1)},
        {"state_any_index", [](IQuorinHal& h) { return h.setLedState(3, -200); },
         "setLedState: LED state -200 is negative", state_entry_line(3, -200)},
        {"colour", [](IQuorinHal& h) { return h.setLedColor(0, -5); },
         "setLedColor: colour -5 is negative", color_entry_line(0, -5)},
        {"colour_negative_index",
         [](IQuorinHal& h) { return h.setLedColor(-1, 10); },
         "setLedColor: led index -1 is negative, which would erase the saved request",
         {kWarn, kTag,
          "setLedColor: led index -1 is negative, which would erase the saved request"}},
        {"colour_lowest_index",
         [](IQuorinHal& h) { return h.setLedColor(INT32_MIN, 2); },
         "setLedColor: led index -2147483648 is negative, which would erase the saved request",
         {kWarn, kTag,
          "setLedColor: led index -2147483648 is negative, which would erase the saved "
          "request"}},
};
INSTANTIATE_TEST_SUITE_P(Service, ServiceRefusalTest, ::testing::ValuesIn(kRefusedCases),
                         CaseName());

using ServiceFaultTest = ServiceTest;

// An exception the library lets through from the audio port ends the call, not the service.
TEST_F(ServiceFaultTest, PortThrowingIsAnErrorAndTheServiceGoesOn) {
    ASSERT_TRUE(start_service());
    const auto hal = client();
    hal_sim::set_parameter_fault(hal_sim::ParameterFault::kForeignException);
    logs.clear();
    const ScopedAStatus status = hal->setMicEchoLevel(40);
    EXPECT_EQ(status.getExceptionCode(), EX_ILLEGAL_STATE);
    EXPECT_STREQ(status.getMessage(),
                 "setMicEchoLevel: a platform component failed with an unknown exception");
    EXPECT_EQ(service_lines(logs.lines()),
              (std::vector<LogLine>{{kError, kTag, status.getMessage()}}));
    hal_sim::set_parameter_fault(hal_sim::ParameterFault::kNone);
    int32_t level = -1;
    ASSERT_TRUE(hal->getMicEchoLevel(&level).isOk());
    EXPECT_EQ(level, 40);  // stored before the port was called
    EXPECT_TRUE(hal->setMicEchoLevel(60).isOk());
}

int throwing_set_led_color(int /*index*/, int /*color*/) {
    throw std::runtime_error("system-control client gone");
}

// A standard exception: EX_SERVICE_SPECIFIC, ERROR_PLATFORM_FAULT, its text in the message.
TEST_F(ServiceFaultTest, StandardExceptionIsPlatformFault) {
    HalApi api = lib.api();
    api.SetLedColor = throwing_set_led_color;
    ASSERT_TRUE(start_service(&api));
    logs.clear();
    const ScopedAStatus status = client()->setLedColor(0, 2);
    EXPECT_EQ(status.getExceptionCode(), EX_SERVICE_SPECIFIC);
    EXPECT_EQ(status.getServiceSpecificError(), IQuorinHal::ERROR_PLATFORM_FAULT);
    EXPECT_STREQ(status.getMessage(),
                 "setLedColor: a platform component failed: system-control client gone");
    EXPECT_EQ(service_lines(logs.lines()),
              (std::vector<LogLine>{{kError, kTag, status.getMessage()}}));
    EXPECT_TRUE(client()->setLedState(0, 1).isOk());
}

// Every call is served by the one thread that joined the pool, the service's main thread.
TEST_F(ServiceFaultTest, OneBinderThreadServesEveryCall) {
    ASSERT_TRUE(start_service());
    const auto hal = client();
    std::thread other([&] { EXPECT_TRUE(hal->setMicVolume(10).isOk()); });
    EXPECT_TRUE(hal->setLedState(0, 1).isOk());
    other.join();
    int32_t volume = 0;
    EXPECT_TRUE(hal->getMicVolume(&volume).isOk());
    const binder_sim::PoolState pool = binder_sim::pool_state();
    EXPECT_TRUE(pool.max_threads_set);
    EXPECT_EQ(pool.max_threads, 0U);
    EXPECT_FALSE(pool.started);
    EXPECT_EQ(pool.joined, 1);
    EXPECT_EQ(pool.serving_threads, std::vector<std::thread::id>{service_thread});
}

// dumpsys: the panel as halctl show draws it, the microphone and the saved request.
TEST_F(ServiceFaultTest, DumpShowsThePanelTheMicrophoneAndTheSavedRequest) {
    ASSERT_TRUE(start_service());
    const auto hal = client();
    ASSERT_TRUE(hal->setLedState(0, 0).isOk());
    ASSERT_TRUE(hal->setMicVolume(57).isOk());
    const std::string text = dump_text();
    EXPECT_EQ(text,
              "vendor.quorin.hal.IQuorinHal/default, version 1, one binder thread\n"
              "+-- front panel -------------------------+\n"
              "| remote_led    green_led     sys_led    |\n"
              "|     ( )          (*)          ( )      |\n"
              "|     off          on           off      |\n"
              "+----------------------------------------+\n"
              "  ADC mute        muted\n"
              "  ADC volume      register 23 (volume 55..59)\n"
              "  mic patch       recorded disabled (micstate \"0\")\n"
              "  saved request   led index 0, LED state 0, colour 2 (green_led alone, standby)\n"
              "  start-up check  all read back as set\n");
}

}  // namespace
