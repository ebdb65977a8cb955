// SPDX-License-Identifier: Apache-2.0
// The stand-ins' journal keeps nothing until a test turns it on: in a fresh process nothing that
// happens to the platform is kept.
#include <gtest/gtest.h>
#include <sys/system_properties.h>

#include "SystemControlClient.h"
#include "hal_sim/hal_sim.h"

namespace {

TEST(StandInJournal, IsOffUntilATestTurnsItOn) {
    hal_sim::record("event");
    __system_property_set("vendor.quorin.micstate", "1");
    android::sp<android::SystemControlClient> client = android::SystemControlClient::getInstance();
    client->setProperty("vendor.quorin.ledindex", "0");
    EXPECT_EQ(std::vector<std::string>{}, hal_sim::journal());

    hal_sim::set_journal_enabled(true);
    hal_sim::record("event");
    __system_property_set("vendor.quorin.micstate", "0");
    EXPECT_EQ((std::vector<std::string>{"event", "property.set vendor.quorin.micstate=0"}),
              hal_sim::journal());
}

}  // namespace
