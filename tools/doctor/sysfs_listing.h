// SPDX-License-Identifier: Apache-2.0
// Where the kernel put what the library looks for at a fixed path: an LED through
// /sys/class/leds/<name>, the clients of an I2C adapter. Paths are taken under `root`, the
// directory the sysfs tree is under ("" on a device, $UMOCKDEV_DIR on the simulated one), and
// given back without it.
#pragma once

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

// At most this many names are listed of a directory.
constexpr size_t kListingLimit = 64;

// What a directory shows: its names, and the errno that kept some or all of them from view (0
// when none did). ENOENT: there is no such directory; EACCES or EPERM: this process may not look,
// which says nothing of what is there.
struct Listing {
    std::vector<std::string> names;
    int error = 0;
};

// The entries of a directory (not "." and ".."), sorted.
Listing list_directory(const std::string& dir);

// The LED's device directory as /sys/class/leds/<name> resolves; nullopt where there is none or
// it cannot be followed (*error, when given, then says why: ENOENT, or EACCES for a link this
// process may not read).
std::optional<std::string> class_led_dir(const std::string& root, const std::string& name,
                                         int* error = nullptr);
// The names in /sys/class/leds that lead to a device (none where there is no such class); error
// is the directory's, else EACCES or EPERM when a link could not be followed.
Listing class_led_names(const std::string& root);

// The I2C clients ("0-0019") in the adapter's directory; error ENOENT when the adapter is missing.
Listing i2c_clients(const std::string& root, const std::string& adapter_dir);

// A refusal to look, not an absence.
inline bool refused_to_look(int error) {
    return error == EACCES || error == EPERM;
}
