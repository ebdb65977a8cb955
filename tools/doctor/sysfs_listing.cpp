// SPDX-License-Identifier: Apache-2.0
#include "sysfs_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr const char* kClassLeds = "/sys/class/leds";

// "<bus>-<four hex digits>", as the I2C core names a client.
bool is_i2c_client(const std::string& name) {
    const size_t dash = name.find('-');
    if (dash == 0 || dash == std::string::npos || name.size() - dash - 1 != 4) return false;
    if (name.find_first_not_of("0123456789") < dash) return false;
    return name.find_first_not_of("0123456789abcdef", dash + 1) == std::string::npos;
}

}  // namespace

Listing list_directory(const std::string& dir) {
    Listing listing;
    const std::unique_ptr<DIR, int (*)(DIR*)> stream(opendir(dir.c_str()), closedir);
    if (!stream) {
        listing.error = errno;
        return listing;
    }
    // A bounded read: a tree that a board hands over may hold anything.
    for (size_t seen = 0; seen < 16 * kListingLimit; ++seen) {
        errno = 0;
        const dirent* entry = readdir(stream.get());  // NOLINT(concurrency-mt-unsafe)
        if (entry == nullptr) {
            listing.error = errno;
            break;
        }
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        listing.names.emplace_back(entry->d_name);
    }
    std::sort(listing.names.begin(), listing.names.end());
    return listing;
}

std::optional<std::string> class_led_dir(const std::string& root, const std::string& name,
                                         int* error) {
    int ignored = 0;
    int& why = error != nullptr ? *error : ignored;
    why = 0;
    const std::string link = root + kClassLeds + "/" + name;
    char* resolved = realpath(link.c_str(), nullptr);
    if (resolved == nullptr) {
        why = errno;
        return std::nullopt;
    }
    std::string dir = resolved;
    free(resolved);  // NOLINT(cppcoreguidelines-no-malloc): realpath's own allocation
    struct stat info {};
    if (stat(dir.c_str(), &info) != 0) {
        why = errno;
        return std::nullopt;
    }
    if (!S_ISDIR(info.st_mode)) {
        why = ENOTDIR;
        return std::nullopt;
    }
    if (!root.empty()) {
        if (dir.compare(0, root.size(), root) != 0) return std::nullopt;
        dir.erase(0, root.size());
    }
    return dir;
}

Listing class_led_names(const std::string& root) {
    Listing entries = list_directory(root + kClassLeds);
    Listing leds;
    leds.error = entries.error;
    // Only the entries that lead to a device: a link left dangling names no LED.
    for (const std::string& name : entries.names) {
        int error = 0;
        if (class_led_dir(root, name, &error)) {
            if (leds.names.size() < kListingLimit) leds.names.push_back(name);
        } else if (refused_to_look(error) && leds.error == 0) {
            leds.error = error;
        }
    }
    return leds;
}

Listing i2c_clients(const std::string& root, const std::string& adapter_dir) {
    const Listing entries = list_directory(root + adapter_dir);
    Listing clients;
    clients.error = entries.error;
    for (const std::string& name : entries.names) {
        if (is_i2c_client(name) && clients.names.size() < kListingLimit) {
            clients.names.push_back(name);
        }
    }
    return clients;
}
