// SPDX-License-Identifier: Apache-2.0
// Finding an LED or the ADC elsewhere in a sysfs tree planted in a temporary directory, and the
// findings the doctor makes of it.
#include "sysfs_listing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "doctor_verdicts.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

class SysfsListing : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(root_.empty());
        fs::create_directories(root_ + "/sys/class/leds");
    }
    void led(const std::string& name, const std::string& device_dir) {
        fs::create_directories(root_ + device_dir);
        fs::create_directory_symlink("../.." + device_dir.substr(4),
                                     root_ + "/sys/class/leds/" + name);
    }
    TempDir dir_{"sysfs_listing"};
    const std::string root_ = dir_.path();
};

TEST_F(SysfsListing, AnLedIsFollowedThroughItsClassEntry) {
    led("green_led", "/sys/devices/platform/leds/leds/green_led");
    led("sys_led", "/sys/devices/platform/gpioleds/leds/sys_led");
    EXPECT_EQ("/sys/devices/platform/leds/leds/green_led", class_led_dir(root_, "green_led"));
    EXPECT_EQ(std::nullopt, class_led_dir(root_, "remote_led"));
    EXPECT_EQ((std::vector<std::string>{"green_led", "sys_led"}), class_led_names(root_));
}

TEST_F(SysfsListing, DanglingEntriesNameNoLed) {
    led("sys_led", "/sys/devices/platform/gpioleds/leds/sys_led");
    fs::create_directory_symlink("../../devices/gone", root_ + "/sys/class/leds/ghost");
    EXPECT_EQ(std::nullopt, class_led_dir(root_, "ghost"));
    EXPECT_EQ(std::vector<std::string>{"sys_led"}, class_led_names(root_));
    fs::remove_all(root_ + "/sys/class");
    EXPECT_TRUE(class_led_names(root_).empty());
}

TEST_F(SysfsListing, TheClientsOfAnAdapter) {
    const std::string adapter = "/sys/devices/i2c-0";
    EXPECT_EQ(std::nullopt, i2c_clients(root_, adapter));
    for (const char* entry : {"0-0019", "0-001a", "i2c-dev", "power", "0-18", "x-0018"}) {
        fs::create_directories(root_ + adapter + "/" + entry);
    }
    EXPECT_EQ((std::vector<std::string>{"0-0019", "0-001a"}), i2c_clients(root_, adapter));
}

TEST(DoctorVerdicts, AMissingLedIsOneFindingWithWhereTheKernelPutIt) {
    const std::string dir = "/sys/devices/platform/gpioleds/leds/green_led";
    const DoctorCheck moved = led_missing_verdict(
            "green_led", dir, Missing::kLed, "/sys/devices/platform/leds/leds/green_led", {}, true);
    EXPECT_EQ("green_led", moved.subject);
    EXPECT_EQ("present", moved.check);
    EXPECT_EQ(Verdict::kFail, moved.verdict);
    EXPECT_EQ(dir + " is missing; path differs: the kernel put it at "
                    "/sys/devices/platform/leds/leds/green_led",
              moved.detail);
    const DoctorCheck others = led_missing_verdict("green_led", dir, Missing::kLed, std::nullopt,
                                                   {"blue_led", "sys_led"}, true);
    EXPECT_EQ(dir + " is missing; the kernel has these LEDs: blue_led, sys_led", others.detail);
    EXPECT_NE(std::string::npos, others.hint.find("child labelled \"green_led\""));
    const DoctorCheck none =
            led_missing_verdict("green_led", dir, Missing::kDevice, std::nullopt, {}, true);
    EXPECT_EQ(dir + " is missing; the kernel has no LEDs", none.detail);
    EXPECT_NE(std::string::npos, none.hint.find("CONFIG_LEDS_GPIO"));
    // The missing gpioleds device is explained once, not for every LED.
    EXPECT_EQ("no gpioleds device, as above",
              led_missing_verdict("sys_led", dir, Missing::kDevice, std::nullopt, {}, false).hint);
}

TEST(DoctorVerdicts, AMissingAdcNamesTheClientsOnItsBus) {
    const std::string dir = "/sys/bus/i2c-0/0-0018";
    EXPECT_EQ(dir + " is missing; on the bus: 0-0019, 0-0050",
              adc_missing_verdict(dir, std::vector<std::string>{"0-0019", "0-0050"}).detail);
    EXPECT_EQ(dir + " is missing; nothing on the bus",
              adc_missing_verdict(dir, std::vector<std::string>{}).detail);
    const DoctorCheck no_adapter = adc_missing_verdict(dir, std::nullopt);
    EXPECT_EQ("ADC3101", no_adapter.subject);
    EXPECT_EQ(dir + " is missing; no adapter i2c-0, nothing on the bus", no_adapter.detail);
}

}  // namespace
