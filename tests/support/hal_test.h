// Fixture for tests of the library: a fake sysfs, captured log, the simulator reset to a fresh
// device (nothing saved, a client available), and the library freshly loaded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_paths.h"
#include "fake_sysfs.h"
#include "hal_library.h"
#include "hal_sim/hal_sim.h"
#include "log_capture.h"

constexpr int kDebug = 3;
constexpr int kInfo = 4;

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
