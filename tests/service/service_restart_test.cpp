// SPDX-License-Identifier: Apache-2.0
// What comes back when the service's process ends and init starts it again, for each kind of
// request a client can make, and what start-up reads back once it has prepared the device.
#include <sys/system_properties.h>

#include <algorithm>
#include <functional>
#include <string>

#include "led_writes.h"
#include "service_fixture.h"

using aidl::vendor::quorin::hal::IQuorinHal;

namespace {

constexpr const char* kTag = "vendor.quorin.hal-service";
constexpr int kError = 6;

const Write kMuted{test_paths::kAdcMute, "1"};

struct RestartCase {
    const char* name;
    std::function<void(IQuorinHal&)> requests;  // of the process that ends
    Writes replayed;                            // the new process's LED writes, in order
    const char* saved;                          // the saved triple once it serves
};

class ServiceRestartTest : public ServiceTest, public ::testing::WithParamInterface<RestartCase> {};

// The library replays only the saved (led index, state), through the state machine, from the
// model a new process starts with (all LEDs blinking); then start-up mutes the microphone.
TEST_P(ServiceRestartTest, ComesBackAsTheSavedRequestReplays) {
    ASSERT_TRUE(start_service());
    GetParam().requests(*client());
    ASSERT_TRUE(restart_service());
    EXPECT_EQ(sysfs.writes(), joined(GetParam().replayed, Writes{kMuted}));
    EXPECT_EQ(saved_triple(), GetParam().saved);
}

void ok(const ndk::ScopedAStatus& status) {
    EXPECT_TRUE(status.isOk()) << status.getDescription();
}

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
        {"standby", [](IQuorinHal& h) { ok(h.setLedState(0, 0)); }, kStandby, "0,0,2"},
        {"all_steady", [](IQuorinHal& h) { ok(h.setLedState(0, 1)); }, kAllOn, "0,1,10"},
        {"all_steady_state_4", [](IQuorinHal& h) { ok(h.setLedState(0, 4)); }, kAllOn, "0,4,10"},
        {"sys_alone", [](IQuorinHal& h) { ok(h.setLedState(0, 220)); }, kSysAlone, "0,220,1"},
        {"remote_blinking", [](IQuorinHal& h) { ok(h.setLedState(1, 200)); }, kRemoteBlinking,
         "1,200,0"},
        {"all_steady_index_1", [](IQuorinHal& h) { ok(h.setLedState(1, 201)); }, kAllOn, "1,201,10"},
        {"flash_is_not_saved",
         [](IQuorinHal& h) {
             ok(h.setLedState(0, 1));
             ok(h.setLedState(3, 2));
         },
         kAllOn, "0,1,10"},
        {"outside_the_table_is_not_saved",
         [](IQuorinHal& h) {
             ok(h.setLedState(0, 0));
             ok(h.setLedState(0, 2));
         },
         kStandby, "0,0,2"},
        {"refused_in_standby_is_not_saved",
         [](IQuorinHal& h) {
             ok(h.setLedState(0, 0));
             ok(h.setLedState(1, 200));
         },
         kStandby, "0,0,2"},
        // A colour request saves (led index, 1 steady or 2 blinking, colour); the colour is not
        // replayed. On a steady panel led index 0 comes back as all three LEDs on, whatever the
        // colour.
        {"green_on_a_steady_panel",
         [](IQuorinHal& h) {
             ok(h.setLedState(0, 1));
             ok(h.setLedColor(0, 2));
         },
         kAllOn, "0,1,10"},
        {"remote_on_a_steady_panel",
         [](IQuorinHal& h) {
             ok(h.setLedState(0, 1));
             ok(h.setLedColor(0, 0));
         },
         kAllOn, "0,1,10"},
        // (0, 2) is outside the request table: nothing is drawn, the LEDs keep what they show.
        {"all_on_a_blinking_panel", [](IQuorinHal& h) { ok(h.setLedColor(0, 10)); }, Writes{},
         "0,2,10"},
        {"index_1_on_a_steady_panel",
         [](IQuorinHal& h) {
             ok(h.setLedState(0, 1));
             ok(h.setLedColor(1, 2));
         },
         Writes{}, "1,1,2"},
        // (3, 2) is the flash.
        {"index_3_on_a_blinking_panel", [](IQuorinHal& h) { ok(h.setLedColor(3, 10)); },
         kFlashThenAllBlinking, "3,2,10"},
        // Refused by the service: saved, -1 would read as "nothing saved".
        {"negative_index_keeps_the_saved_request",
         [](IQuorinHal& h) {
             ok(h.setLedState(0, 0));
             EXPECT_EQ(h.setLedColor(-1, 10).getExceptionCode(), EX_ILLEGAL_ARGUMENT);
         },
         kStandby, "0,0,2"},
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
