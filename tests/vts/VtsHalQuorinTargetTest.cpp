// SPDX-License-Identifier: Apache-2.0
// vendor.quorin.hal.IQuorinHal as a client meets it, in the form of the platform's VTS tests for
// AIDL HALs: one run per instance the device manifest declares, every method called through the
// service, and what a client can see checked: statuses, the getters, the dump's text, and the LED
// and ADC attributes read back. The main that runs it is the device's (vts_main_device.cpp) or
// the workstation's (vts_main_workstation.cpp), which starts the service first.
#include <aidl/Gtest.h>
#include <aidl/Vintf.h>
#include <aidl/vendor/quorin/hal/IQuorinHal.h>
#include <android/binder_manager.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>

#include "device_paths.h"
#include "quorin_hal_client.h"

using aidl::vendor::quorin::hal::IQuorinHal;
using ndk::ScopedAStatus;

namespace {

// An attribute's text as a reader finds it, without the trailing newline; "<unreadable>" when it
// cannot be opened.
std::string read_attribute(const char* path) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return "<unreadable>";
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = read(fd, buffer, sizeof(buffer))) > 0;) {
        text.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

// The trigger in force: the kernel lists them all with the active one bracketed.
std::string active_trigger(const char* path) {
    std::string text = read_attribute(path);
    const size_t open_bracket = text.find('[');
    const size_t close_bracket = text.find(']', open_bracket);
    if (open_bracket == std::string::npos || close_bracket == std::string::npos) return text;
    return text.substr(open_bracket + 1, close_bracket - open_bracket - 1);
}

// One LED as its attributes show it: "blinking" (timer trigger; its brightness then changes as
// it blinks), "on" or "off".
std::string led_shown(const char* brightness, const char* trigger) {
    if (active_trigger(trigger) == "timer") return "blinking";
    return read_attribute(brightness) == "0" ? "off" : "on";
}

// The panel left to right: remote, green, sys.
std::string panel_shown() {
    using namespace test_paths;
    return led_shown(kRemoteBrightness, kRemoteTrigger) + " " +
           led_shown(kGreenBrightness, kGreenTrigger) + " " + led_shown(kSysBrightness, kSysTrigger);
}

// The service registered under `instance`, waited for as a client of a declared HAL waits.
std::shared_ptr<IQuorinHal> wait_for_hal(const std::string& instance) {
    return IQuorinHal::fromBinder(ndk::SpAIBinder(AServiceManager_waitForService(instance.c_str())));
}

std::string dump_of(IQuorinHal& hal) {
    std::string text;
    std::string error;
    EXPECT_TRUE(read_dump(hal, &text, &error)) << error;
    return text;
}

class QuorinHalAidl : public testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        hal = wait_for_hal(GetParam());
        ASSERT_NE(hal, nullptr) << GetParam();
    }
    std::shared_ptr<IQuorinHal> hal;
};

TEST_P(QuorinHalAidl, AnswersTheFrozenVersionAndHash) {
    int32_t version = 0;
    ASSERT_TRUE(hal->getInterfaceVersion(&version).isOk());
    const int32_t frozen = IQuorinHal::version;
    EXPECT_EQ(version, frozen);
    std::string hash;
    ASSERT_TRUE(hal->getInterfaceHash(&hash).isOk());
    EXPECT_EQ(hash, IQuorinHal::hash);
}

// The microphone as the ADC's attributes, the getters and the dump show it.
TEST_P(QuorinHalAidl, MuteReachesTheAdc) {
    ASSERT_TRUE(hal->setMicMuted(false).isOk());
    EXPECT_EQ(read_attribute(test_paths::kAdcMute), "0");
    ASSERT_TRUE(hal->setMicMuted(true).isOk());
    EXPECT_EQ(read_attribute(test_paths::kAdcMute), "1");
    EXPECT_NE(dump_of(*hal).find("\n  ADC mute        muted\n"), std::string::npos);
}

// The dump names the instance and shows the request a client applied, as it was saved.
TEST_P(QuorinHalAidl, DumpShowsTheInstanceAndTheSavedRequest) {
    ASSERT_TRUE(hal->setLedState(0, 0).isOk());
    const std::string text = dump_of(*hal);
    EXPECT_EQ(text.compare(0, GetParam().size() + 11, GetParam() + ", version 1"), 0) << text;
    EXPECT_NE(text.find("\n  saved request   led index 0, LED state 0, colour 2 "), std::string::npos)
            << text;
    ASSERT_TRUE(hal->setLedState(0, 1).isOk());
    EXPECT_NE(dump_of(*hal).find("\n  saved request   led index 0, LED state 1, colour 10 "),
              std::string::npos);
}

struct Instance {
    template <typename Tuple>
    std::string operator()(const testing::TestParamInfo<Tuple>& info) const {
        const std::string instance = android::PrintInstanceNameToString(
                testing::TestParamInfo<std::string>(std::get<0>(info.param), info.index));
        return instance + "_" + std::get<1>(info.param).name;
    }
};

struct LedCase {
    const char* name;
    std::function<ScopedAStatus(IQuorinHal&)> before;  // from all three steady
    std::function<ScopedAStatus(IQuorinHal&)> request;
    binder_exception_t exception;
    const char* shown;  // remote green sys
};

ScopedAStatus nothing_more(IQuorinHal& /*hal*/) {
    return ScopedAStatus::ok();
}

class QuorinHalLeds : public testing::TestWithParam<std::tuple<std::string, LedCase>> {
  protected:
    void SetUp() override {
        hal = wait_for_hal(std::get<0>(GetParam()));
        ASSERT_NE(hal, nullptr);
        ASSERT_TRUE(hal->setLedState(0, 1).isOk());
    }
    std::shared_ptr<IQuorinHal> hal;
};

TEST_P(QuorinHalLeds, PanelShowsTheRequest) {
    const LedCase& c = std::get<1>(GetParam());
    ASSERT_TRUE(c.before(*hal).isOk());
    const ScopedAStatus status = c.request(*hal);
    EXPECT_EQ(status.getExceptionCode(), c.exception) << status.getDescription();
    EXPECT_EQ(panel_shown(), c.shown);
}

const LedCase kLedCases[] = {
        {"all_steady", nothing_more, [](IQuorinHal& h) { return h.setLedState(0, 1); }, EX_NONE,
         "on on on"},
        {"standby", nothing_more, [](IQuorinHal& h) { return h.setLedState(0, 0); }, EX_NONE,
         "off on off"},
        {"sys_alone", nothing_more, [](IQuorinHal& h) { return h.setLedState(0, 220); }, EX_NONE,
         "off off on"},
        {"remote_blinking", nothing_more, [](IQuorinHal& h) { return h.setLedState(1, 200); },
         EX_NONE, "blinking off off"},
        {"flash_puts_the_pattern_back", nothing_more,
         [](IQuorinHal& h) { return h.setLedState(3, 2); }, EX_NONE, "on on on"},
        {"refused_in_standby_is_a_success", [](IQuorinHal& h) { return h.setLedState(0, 0); },
         [](IQuorinHal& h) { return h.setLedState(1, 200); }, EX_NONE, "off on off"},
        {"colour_green", nothing_more, [](IQuorinHal& h) { return h.setLedColor(0, 2); }, EX_NONE,
         "off on off"},
        {"colour_all_from_standby", [](IQuorinHal& h) { return h.setLedState(0, 0); },
         [](IQuorinHal& h) { return h.setLedColor(0, 10); }, EX_NONE, "on on on"},
        {"negative_state_writes_nothing", nothing_more,
         [](IQuorinHal& h) { return h.setLedState(0, -1); }, EX_ILLEGAL_ARGUMENT, "on on on"},
        {"negative_colour_writes_nothing", [](IQuorinHal& h) { return h.setLedState(0, 0); },
         [](IQuorinHal& h) { return h.setLedColor(0, -5); }, EX_ILLEGAL_ARGUMENT, "off on off"},
};

struct MicCase {
    const char* name;
    std::function<ScopedAStatus(IQuorinHal&, int32_t)> set;
    std::function<ScopedAStatus(IQuorinHal&, int32_t*)> get;
    int32_t asked;
    int32_t kept;            // what the getter answers
    const char* adc_volume;  // the ADC's volume register afterwards, or null
};

ScopedAStatus set_volume(IQuorinHal& h, int32_t v) {
    return h.setMicVolume(v);
}
ScopedAStatus get_volume(IQuorinHal& h, int32_t* v) {
    return h.getMicVolume(v);
}
ScopedAStatus set_echo(IQuorinHal& h, int32_t v) {
    return h.setMicEchoLevel(v);
}
ScopedAStatus get_echo(IQuorinHal& h, int32_t* v) {
    return h.getMicEchoLevel(v);
}

const MicCase kMicCases[] = {
        {"volume", set_volume, get_volume, 57, 57, "23"},
        {"volume_clamped_high", set_volume, get_volume, 250, 100, "32"},
        {"volume_clamped_low", set_volume, get_volume, -5, 0, "12"},
        {"echo", set_echo, get_echo, 40, 40, nullptr},
        {"echo_clamped_high", set_echo, get_echo, 150, 100, nullptr},
        {"echo_clamped_low", set_echo, get_echo, -20, 0, nullptr},
};

class QuorinHalMic : public testing::TestWithParam<std::tuple<std::string, MicCase>> {};

TEST_P(QuorinHalMic, GetterAnswersTheClampedValue) {
    const std::shared_ptr<IQuorinHal> hal = wait_for_hal(std::get<0>(GetParam()));
    ASSERT_NE(hal, nullptr);
    const MicCase& c = std::get<1>(GetParam());
    ASSERT_TRUE(c.set(*hal, c.asked).isOk());
    int32_t value = -1;
    ASSERT_TRUE(c.get(*hal, &value).isOk());
    EXPECT_EQ(value, c.kept);
    if (c.adc_volume != nullptr) {
        EXPECT_EQ(read_attribute(test_paths::kAdcVolume), c.adc_volume);
    }
}

}  // namespace

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(QuorinHalAidl);
INSTANTIATE_TEST_SUITE_P(PerInstance, QuorinHalAidl,
                         testing::ValuesIn(android::getAidlHalInstanceNames(IQuorinHal::descriptor)),
                         android::PrintInstanceNameToString);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(QuorinHalLeds);
INSTANTIATE_TEST_SUITE_P(
        PerInstance, QuorinHalLeds,
        testing::Combine(testing::ValuesIn(android::getAidlHalInstanceNames(IQuorinHal::descriptor)),
                         testing::ValuesIn(kLedCases)),
        Instance());
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(QuorinHalMic);
INSTANTIATE_TEST_SUITE_P(
        PerInstance, QuorinHalMic,
        testing::Combine(testing::ValuesIn(android::getAidlHalInstanceNames(IQuorinHal::descriptor)),
                         testing::ValuesIn(kMicCases)),
        Instance());
