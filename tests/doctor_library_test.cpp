// SPDX-License-Identifier: Apache-2.0
// The doctor's idea of a consistent saved LED request agrees with what the library saves.
#include <sys/system_properties.h>

#include <functional>

#include "doctor_verdicts.h"
#include "hal_test.h"

namespace {

using DoctorLibrary = HalTest;

std::string raw_property(const char* key) {
    char value[PROP_VALUE_MAX] = {};
    __system_property_get(key, value);
    return value;
}

TEST_F(DoctorLibrary, EveryTripleTheLibrarySavesIsConsistentForTheDoctor) {
    const struct {
        const char* name;
        std::function<void(const HalApi&)> calls;
        const char* saved;
    } cases[] = {
            {"standby", [](const HalApi& h) { h.SetLedState(0, 0); }, "0,0,2"},
            {"all steady", [](const HalApi& h) { h.SetLedState(0, 1); }, "0,1,10"},
            {"all steady, state 4", [](const HalApi& h) { h.SetLedState(0, 4); }, "0,4,10"},
            {"sys_led", [](const HalApi& h) { h.SetLedState(0, 220); }, "0,220,1"},
            {"remote blinking", [](const HalApi& h) { h.SetLedState(1, 200); }, "1,200,0"},
            {"all steady, index 1", [](const HalApi& h) { h.SetLedState(1, 201); }, "1,201,10"},
            {"colour while blinking", [](const HalApi& h) { h.SetLedColor(7, 2); }, "7,2,2"},
            {"colour 5 while steady",
             [](const HalApi& h) {
                 h.SetLedState(0, 1);
                 h.SetLedColor(5, 1);
             },
             "5,1,1"},
            {"unpatterned colour", [](const HalApi& h) { h.SetLedColor(0, 42); }, "0,2,42"},
            {"negative index", [](const HalApi& h) { h.SetLedColor(-1, 10); }, "-1,2,10"},
            {"flash keeps the earlier triple",
             [](const HalApi& h) {
                 h.SetLedState(1, 200);
                 h.SetLedState(3, 2);
             },
             "1,200,0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        hal_sim::clear_properties();
        lib.restart();
        c.calls(lib.api());
        ASSERT_EQ(c.saved, saved_triple());
        const DoctorCheck check = triple_verdict(raw_property("vendor.quorin.ledindex"),
                                                 raw_property("vendor.quorin.ledstate"),
                                                 raw_property("vendor.quorin.ledcolor"));
        EXPECT_EQ(Verdict::kPass, check.verdict) << check.detail;
    }
}

}  // namespace
