// SPDX-License-Identifier: Apache-2.0
#include "sysfs_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
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

std::optional<std::vector<std::string>> list_directory(const std::string& dir) {
    const std::unique_ptr<DIR, int (*)(DIR*)> stream(opendir(dir.c_str()), closedir);
    if (!stream) return std::nullopt;
    std::vector<std::string> names;
    // A bounded read: a tree that a board hands over may hold anything.
    for (size_t seen = 0; seen < 16 * kListingLimit; ++seen) {
        const dirent* entry = readdir(stream.get());  // NOLINT(concurrency-mt-unsafe)
        if (entry == nullptr) break;
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        names.emplace_back(entry->d_name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> class_led_dir(const std::string& root, const std::string& name) {
    const std::string link = root + kClassLeds + "/" + name;
    char* resolved = realpath(link.c_str(), nullptr);
    if (resolved == nullptr) return std::nullopt;
    std::string dir = resolved;
    free(resolved);  // NOLINT(cppcoreguidelines-no-malloc): realpath's own allocation
    struct stat info {};
    if (stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
    if (!root.empty()) {
        if (dir.compare(0, root.size(), root) != 0) return std::nullopt;
        dir.erase(0, root.size());
    }
    return dir;
}

std::vector<std::string> class_led_names(const std::string& root) {
    std::vector<std::string> names;
    // Only the entries that lead to a device: a link left dangling names no LED.
    for (const std::string& name :
         list_directory(root + kClassLeds).value_or(std::vector<std::string>{})) {
        if (names.size() < kListingLimit && class_led_dir(root, name)) names.push_back(name);
    }
    return names;
}

std::optional<std::vector<std::string>> i2c_clients(const std::string& root,
                                                    const std::string& adapter_dir) {
    const std::optional<std::vector<std::string>> entries = list_directory(root + adapter_dir);
    if (!entries) return std::nullopt;
    std::vector<std::string> clients;
    for (const std::string& name : *entries) {
        if (is_i2c_client(name) && clients.size() < kListingLimit) clients.push_back(name);
    }
    return clients;
}
