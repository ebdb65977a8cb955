// SPDX-License-Identifier: Apache-2.0
// halctl beside the library's hosting service: which states of init's record hold the device,
// what a refused command says, and which commands are refused.
#include "host_service.h"

#include <gtest/gtest.h>
#include <sys/system_properties.h>

#include <string>

#include "hal_sim/hal_sim.h"
#include "halctl_commands.h"

namespace {

TEST(HalctlHostService, RunningOrRestartingHoldsTheDevice) {
    const struct {
        const char* state;
        bool active;
    } cases[] = {
            {"running", true}, {"restarting", true}, {"stopped", false}, {"stopping", true},
            {"", false},       {"running ", false},  {"Running", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.active, host_service_active(c.state)) << c.state;
}

TEST(HalctlHostService, StateIsInitsProperty) {
    hal_sim::clear_properties();
    EXPECT_EQ("", host_service_state());
    __system_property_set("init.svc.vendor.quorin.hal", "restarting");
    EXPECT_EQ("restarting", host_service_state());
    hal_sim::clear_properties();
}

TEST(HalctlHostService, RefusalNamesTheServiceAndHowToStopIt) {
    EXPECT_EQ(
            "led state: the hosting service vendor.quorin.hal is running "
            "(init.svc.vendor.quorin.hal) and drives the device itself; stop it first (adb shell "
            "su root stop vendor.quorin.hal, start it again with start vendor.quorin.hal), or "
            "give --force to change the device beside it",
            host_service_refusal("led state", "running"));
    EXPECT_NE(std::string::npos, host_service_refusal("mic on", "\x1b[2J").find("is \\x1b[2J ("));
    EXPECT_EQ(2, kExitRefused);
}

}  // namespace
