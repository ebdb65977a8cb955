// SPDX-License-Identifier: Apache-2.0
// Each method of IQuorinHal, called by a client through the service, reaches the library and the
// device exactly as its entry point called directly does: the same writes in the same order, the
// same log lines, the same calls to the platform's components, the same properties and result.
#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <string>

#include "binder_sim/binder_sim.h"
#include "service_fixture.h"

using aidl::vendor::quorin::hal::IQuorinHal;
using ndk::ScopedAStatus;

namespace {

// What a call did, as seen from outside.
struct Effects {
    std::vector<fake_sysfs::Write> writes;
    std::vector<LogLine> library_lines;
    std::vector<std::string> journal;
    hal_sim::PropertyMap properties;
    int32_t result = 0;
};

struct MethodCase {
    const char* name;
    const char* method;  // as IQuorinHal names it
    std::function<void(const HalApi&)> prelude;
    std::function<ScopedAStatus(IQuorinHal&, int32_t*)> call;
    std::function<int32_t(const HalApi&)> entry_point;
};

std::string entry_symbol_of(const std::string& method) {
    std::map<std::string, std::string> member_of;
#define QUORIN_HAL_METHOD(name, member) member_of[#name] = #member;
#define QUORIN_HAL_KEPT(member, why)
#include "service_methods.def"
    std::map<std::string, std::string> symbol_of;
#define QUORIN_HAL_ENTRY_POINT(member, function, symbol, ...) symbol_of[#member] = symbol;
#define QUORIN_HAL_DATA(member, object, symbol)
#include "entry_points.def"
    return symbol_of[member_of[method]];
}

std::vector<LogLine> library_lines(const std::vector<LogLine>& lines) {
    std::vector<LogLine> library;
    for (const LogLine& line : lines) {
        if (line.tag == "hal_frontpanel" || line.tag == "hal_mic" || line.tag == "audio_patch") {
            library.push_back(line);
        }
    }
    return library;
}

void nothing(const HalApi& /*api*/) {
}

class ServiceMethodTest : public ServiceTest, public ::testing::WithParamInterface<MethodCase> {
  protected:
    Effects effects(int32_t result) {
        return {sysfs.writes(), library_lines(logs.lines()), hal_sim::journal(),
                hal_sim::properties(), result};
    }
    void clear_effects() {
        sysfs.clear();
        logs.clear();
        hal_sim::clear_journal();
    }
};

TEST_P(ServiceMethodTest, ReachesTheDeviceAsItsEntryPointDoes) {
    const MethodCase& c = GetParam();
    ASSERT_TRUE(start_service());
    const auto hal = client();
    ASSERT_NE(hal, nullptr);
    c.prelude(lib.api());
    clear_effects();
    int32_t result = 0;
    const ScopedAStatus status = c.call(*hal, &result);
    ASSERT_TRUE(status.isOk()) << status.getDescription();
    const Effects served = effects(result);
    ASSERT_EQ(stop_service(), EXIT_FAILURE);  // the pool stopped under it

    // The same device after the same start-up (replay, microphone muted), called directly.
    hal_sim::clear_properties();
    hal_sim::reset_client();
    lib.restart();
    prepare_device(lib.api());
    c.prelude(lib.api());
    clear_effects();
    const Effects direct = effects(c.entry_point(lib.api()));

    EXPECT_EQ(served.writes, direct.writes);
    EXPECT_EQ(served.library_lines, direct.library_lines);
    EXPECT_EQ(served.journal, direct.journal);
    EXPECT_EQ(served.properties, direct.properties);
    EXPECT_EQ(served.result, direct.result);
    // The entry point the service's list names is the one called.
    ASSERT_FALSE(served.library_lines.empty());
    EXPECT_NE(served.library_lines.front().text.find(entry_symbol_of(c.method)), std::string::npos)
            << served.library_lines.front();
}

const MethodCase kMethodCases[] = {
        {"all_steady", "setLedState", nothing,
         [](IQuorinHal& h, int32_t*) { return h.setLedState(0, 1); },
         [](const HalApi& a) { return a.SetLedState(0, 1); }},
        {"standby", "setLedState", nothing,
         [](IQuorinHal& h, int32_t*) { return h.setLedState(0, 0); },
         [](const HalApi& a) { return a.SetLedState(0, 0); }},
        {"remote_blinking", "setLedState", nothing,
         [](IQuorinHal& h, int32_t*) { return h.setLedState(1, 200); },
         [](const HalApi& a) { return a.SetLedState(1, 200); }},
        {"flash", "setLedState", [](const HalApi& a) { a.SetLedState(0, 1); },
         [](IQuorinHal& h, int32_t*) { return h.setLedState(3, 2); },
         [](const HalApi& a) { return a.SetLedState(3, 2); }},
        {"refused_in_standby", "setLedState", [](const HalApi& a) { a.SetLedState(0, 0); },
         [](IQuorinHal& h, int32_t*) { return h.setLedState(1, 200); },
         [](const HalApi& a) { return a.SetLedState(1, 200); }},
        {"colour_green", "setLedColor", nothing,
         [](IQuorinHal& h, int32_t*) { return h.setLedColor(0, 2); },
         [](const HalApi& a) { return a.SetLedColor(0, 2); }},
        {"colour_without_pattern", "setLedColor", nothing,
         [](IQuorinHal& h, int32_t*) { return h.setLedColor(0, 7); },
         [](const HalApi& a) { return a.SetLedColor(0, 7); }},
        {"unmute", "setMicMuted", nothing,
         [](IQuorinHal& h, int32_t*) { return h.setMicMuted(false); },
         [](const HalApi& a) { return a.MicSetOnOff(0); }},
        {"mute_after_unmute", "setMicMuted", [](const HalApi& a) { a.MicSetOnOff(0); },
         [](IQuorinHal& h, int32_t*) { return h.setMicMuted(true); },
         [](const HalApi& a) { return a.MicSetOnOff(1); }},
        {"volume", "setMicVolume", nothing,
         [](IQuorinHal& h, int32_t*) { return h.setMicVolume(57); },
         [](const HalApi& a) { return a.MicSetVolume(57); }},
        {"volume_clamped", "setMicVolume", nothing,
         [](IQuorinHal& h, int32_t*) { return h.setMicVolume(250); },
         [](const HalApi& a) { return a.MicSetVolume(250); }},
        {"volume_read", "getMicVolume", [](const HalApi& a) { a.MicSetVolume(57); },
         [](IQuorinHal& h, int32_t* r) { return h.getMicVolume(r); },
         [](const HalApi& a) { return a.MicGetVolume(); }},
        {"echo", "setMicEchoLevel", nothing,
         [](IQuorinHal& h, int32_t*) { return h.setMicEchoLevel(40); },
         [](const HalApi& a) { return a.MicSetEchoLevel(40); }},
        {"echo_clamped", "setMicEchoLevel", nothing,
         [](IQuorinHal& h, int32_t*) { return h.setMicEchoLevel(150); },
         [](const HalApi& a) { return a.MicSetEchoLevel(150); }},
        {"echo_read", "getMicEchoLevel", [](const HalApi& a) { a.MicSetEchoLevel(-20); },
         [](IQuorinHal& h, int32_t* r) { return h.getMicEchoLevel(r); },
         [](const HalApi& a) { return a.MicGetEchoLevel(); }},
};
INSTANTIATE_TEST_SUITE_P(Service, ServiceMethodTest, ::testing::ValuesIn(kMethodCases), CaseName());

// Every method of the list has a row above: a method added to the interface gets its check.
TEST(ServiceMethodCases, CoverEveryMethod) {
    std::vector<std::string> missing;
#define QUORIN_HAL_METHOD(name, member)                                                   \
    if (std::none_of(std::begin(kMethodCases), std::end(kMethodCases),                    \
                     [](const MethodCase& c) { return std::string(c.method) == #name; })) \
        missing.push_back(#name);
#define QUORIN_HAL_KEPT(member, why)
#include "service_methods.def"
    EXPECT_TRUE(missing.empty()) << ::testing::PrintToString(missing);
}

}  // namespace
