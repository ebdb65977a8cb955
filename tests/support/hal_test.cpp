// SPDX-License-Identifier: Apache-2.0
#include "hal_test.h"

#include <cstdlib>

void HalTest::SetUp() {
    unsetenv("HAL_SIM_DIR");  // the in-memory store unless a test asks otherwise
    hal_sim::clear_properties();
    hal_sim::reset_client();
    hal_sim::set_parameter_fault(hal_sim::ParameterFault::kNone);
    hal_sim::set_journal_enabled(true);
    lib.load();
    hal_sim::clear_journal();
    sysfs.clear();
    logs.clear();
}

void HalTest::TearDown() {
    lib.unload();
}

std::string HalTest::property(const std::string& key) {
    const auto all = hal_sim::properties();
    const auto it = all.find(key);
    return it == all.end() ? "<unset>" : it->second;
}

std::string HalTest::saved_triple() {
    return property("vendor.quorin.ledindex") + "," + property("vendor.quorin.ledstate") + "," +
           property("vendor.quorin.ledcolor");
}

std::vector<std::string> HalTest::set_property_calls() {
    std::vector<std::string> calls;
    const std::string prefix = "client.setProperty ";
    for (const std::string& event : hal_sim::journal()) {
        if (event.compare(0, prefix.size(), prefix) == 0)
            calls.push_back(event.substr(prefix.size()));
    }
    return calls;
}
