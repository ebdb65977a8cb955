// SPDX-License-Identifier: Apache-2.0
// Fixture for tests of the library: a fake sysfs, captured log, the simulator reset to a fresh
// device (nothing saved, a client available), and the library freshly loaded.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "device_paths.h"
#include "expected_lines.h"
#include "fake_sysfs.h"
#include "hal_library.h"
#include "hal_sim/hal_sim.h"
#include "log_capture.h"

class HalTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The value of a property, or "<unset>".
    static std::string property(const std::string& key);
    // The three saved LED properties as "index,state,colour".
    static std::string saved_triple();
    // The setProperty calls that reached the client since the last clear_journal().
    static std::vector<std::string> set_property_calls();

  public:  // for table rows that inject faults
    fake_sysfs::Sandbox sysfs;
    LogCapture logs;
    HalLibrary lib;
};

// A parameterised case's name as GoogleTest wants it: every character but letters and digits
// made '_', a minus sign spelled out.
inline std::string case_name(std::string text) {
    std::string name;
    for (const char c : text) {
        if (c == '-') {
            name += "Minus";
        } else {
            name += isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
    }
    return name;
}

// Names the cases of a parameterised suite after their `name` field.
struct CaseName {
    template <typename Info>
    std::string operator()(const Info& info) const {
        return case_name(info.param.name);
    }
};
