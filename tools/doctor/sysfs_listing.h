// SPDX-License-Identifier: Apache-2.0
// Where the kernel put what the library looks for at a fixed path: an LED through
// /sys/class/leds/<name>, the clients of an I2C adapter. Paths are taken under `root`, the
// directory the sysfs tree is under ("" on a device, $UMOCKDEV_DIR on the simulated one), and
// given back without it.
#pragma once

#include <optional>
#include <string>
#include <vector>

// At most this many names are listed of a directory.
constexpr size_t kListingLimit = 64;

// The entries of a directory (not "." and ".."), sorted; nullopt when it cannot be read.
std::optional<std::vector<std::string>> list_directory(const std::string& dir);

// The LED's device directory as /sys/class/leds/<name> resolves; nullopt where there is none.
std::optional<std::string> class_led_dir(const std::string& root, const std::string& name);
// The names in /sys/class/leds (empty where there is no such class).
std::vector<std::string> class_led_names(const std::string& root);

// The I2C clients ("0-0019") in the adapter's directory; nullopt when the adapter is missing.
std::optional<std::vector<std::string>> i2c_clients(const std::string& root,
                                                    const std::string& adapter_dir);
