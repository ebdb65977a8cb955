// SPDX-License-Identifier: Apache-2.0
// Finding an LED or the ADC elsewhere in a sysfs tree planted in a temporary directory, and the
// findings the doctor makes of it.
#include "sysfs_listing.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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
    EXPECT_EQ((std::vector<std::string>{"green_led", "sys_led"}), class_led_names(root_).names);
    EXPECT_EQ(0, class_led_names(root_).error);
}

TEST_F(SysfsListing, DanglingEntriesNameNoLed) {
    led("sys_led", "/sys/devices/platform/gpioleds/leds/sys_led");
    fs::create_directory_symlink("../../devices/gone", root_ + "/sys/class/leds/ghost");
    EXPECT_EQ(std::nullopt, class_led_dir(root_, "ghost"));
    EXPECT_EQ(std::vector<std::string>{"sys_led"}, class_led_names(root_).names);
    fs::remove_all(root_ + "/sys/class");
    EXPECT_TRUE(class_led_names(root_).names.empty());
    EXPECT_EQ(ENOENT, class_led_names(root_).error);
}

TEST_F(SysfsListing, TheClientsOfAnAdapter) {
    const std::string adapter = "/sys/devices/i2c-0";
    EXPECT_EQ(ENOENT, i2c_clients(root_, adapter).error);
    for (const char* entry : {"0-0019", "0-001a", "i2c-dev", "power", "0-18", "x-0018"}) {
        fs::create_directories(root_ + adapter + "/" + entry);
    }
    EXPECT_EQ((std::vector<std::string>{"0-0019", "0-001a"}), i2c_clients(root_, adapter).names);
    EXPECT_EQ(0, i2c_clients(root_, adapter).error);
}

// What the listings say of `root` once its adapter, its LED devices and then its LED class
// directory may not be read: each errno, in that order.
std::string refusals(const std::string& root) {
    const std::string adapter = "/sys/devices/i2c-0";
    std::string said;
    fs::permissions(root + adapter, fs::perms::none);
    said += std::to_string(i2c_clients(root, adapter).error) + " ";
    fs::permissions(root + "/sys/devices/platform", fs::perms::none);
    int error = 0;
    said += class_led_dir(root, "sys_led", &error) ? "found " : std::to_string(error) + " ";
    said += std::to_string(class_led_names(root).error) + " ";
    fs::permissions(root + "/sys/class/leds", fs::perms::none);
    said += std::to_string(class_led_names(root).error);
    return said;
}

// A directory or a link this process may not read is a refusal, not an absence. Root reads what
// the mode refuses: as root the listings are made by a child that gives up its user.
TEST_F(SysfsListing, WhatCannotBeReadIsARefusalNotAnAbsence) {
    led("sys_led", "/sys/devices/platform/gpioleds/leds/sys_led");
    fs::create_directories(root_ + "/sys/devices/i2c-0/0-0019");
    const std::string expected = std::to_string(EACCES) + " " + std::to_string(EACCES) + " " +
                                 std::to_string(EACCES) + " " + std::to_string(EACCES);
    if (geteuid() != 0) {
        EXPECT_EQ(expected, refusals(root_));
    } else {
        // The tree becomes the user's the child takes, so that it may change the modes.
        const uid_t nobody = 65534;
        ASSERT_EQ(0, lchown(root_.c_str(), nobody, nobody));
        for (const auto& entry : fs::recursive_directory_iterator(root_)) {
            ASSERT_EQ(0, lchown(entry.path().c_str(), nobody, nobody));
        }
        int channel[2];
        ASSERT_EQ(0, pipe2(channel, O_CLOEXEC));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (setgid(nobody) != 0 || setuid(nobody) != 0) _exit(1);
            const std::string said = refusals(root_);
            (void)!write(channel[1], said.data(), said.size());
            _exit(0);
        }
        close(channel[1]);
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        char buffer[128] = {};
        const ssize_t got = read(channel[0], buffer, sizeof(buffer) - 1);
        close(channel[0]);
        ASSERT_GT(got, 0) << "the child could not give up root";
        EXPECT_EQ(expected, std::string(buffer, static_cast<size_t>(got)));
    }
}

TEST(DoctorVerdicts, AMissingLedIsOneFindingWithWhereTheKernelPutIt) {
    const std::string dir = "/sys/devices/platform/gpioleds/leds/green_led";
    const DoctorCheck moved =
            led_missing_verdict("green_led", dir, Missing::kLed,
                                "/sys/devices/platform/leds/leds/green_led", Listing{}, true);
    EXPECT_EQ("green_led", moved.subject);
    EXPECT_EQ("present", moved.check);
    EXPECT_EQ(Verdict::kFail, moved.verdict);
    EXPECT_EQ(dir + " is missing; path differs: the kernel put it at "
                    "/sys/devices/platform/leds/leds/green_led",
              moved.detail);
    const DoctorCheck others = led_missing_verdict("green_led", dir, Missing::kLed, std::nullopt,
                                                   Listing{{"blue_led", "sys_led"}, 0}, true);
    EXPECT_EQ(dir + " is missing; the kernel has these LEDs: blue_led, sys_led", others.detail);
    EXPECT_NE(std::string::npos, others.hint.find("child labelled \"green_led\""));
    const DoctorCheck none =
            led_missing_verdict("green_led", dir, Missing::kDevice, std::nullopt, Listing{}, true);
    EXPECT_EQ(dir + " is missing; the kernel has no LEDs", none.detail);
    EXPECT_NE(std::string::npos, none.hint.find("CONFIG_LEDS_GPIO"));
    // The missing gpioleds device is explained once, not for every LED.
    EXPECT_EQ("no gpioleds device, as above",
              led_missing_verdict("sys_led", dir, Missing::kDevice, std::nullopt, Listing{}, false)
                      .hint);
}

// Under a policy that refuses the listing or the links, the doctor says it cannot see.
TEST(DoctorVerdicts, WhatCannotBeSeenIsNotSaidAbsent) {
    const std::string dir = "/sys/devices/platform/gpioleds/leds/green_led";
    const std::string denied = std::string(strerror(EACCES));
    EXPECT_EQ(dir + " is missing; where the kernel put its LEDs cannot be seen (/sys/class/leds: " +
                      denied + ")",
              led_missing_verdict("green_led", dir, Missing::kLed, std::nullopt,
                                  Listing{{}, EACCES}, true)
                      .detail);
    EXPECT_EQ(dir + " is missing; where the kernel put its LEDs cannot be seen (/sys/class/leds: " +
                      denied + "); seen: sys_led",
              led_missing_verdict("green_led", dir, Missing::kLed, std::nullopt,
                                  Listing{{"sys_led"}, 0}, true, EACCES)
                      .detail);
    EXPECT_EQ("/sys/bus/i2c-0/0-0018 is missing; the clients on i2c-0 cannot be seen (" + denied +
                      ")",
              adc_missing_verdict("/sys/bus/i2c-0/0-0018", Listing{{}, EACCES}).detail);
}

TEST(DoctorVerdicts, AMissingAdcNamesTheClientsOnItsBus) {
    const std::string dir = "/sys/bus/i2c-0/0-0018";
    EXPECT_EQ(dir + " is missing; on the bus: 0-0019, 0-0050",
              adc_missing_verdict(dir, Listing{{"0-0019", "0-0050"}, 0}).detail);
    EXPECT_EQ(dir + " is missing; nothing on the bus", adc_missing_verdict(dir, Listing{}).detail);
    const DoctorCheck no_adapter = adc_missing_verdict(dir, Listing{{}, ENOENT});
    EXPECT_EQ("ADC3101", no_adapter.subject);
    EXPECT_EQ(dir + " is missing; no adapter i2c-0, nothing on the bus", no_adapter.detail);
}

}  // namespace
