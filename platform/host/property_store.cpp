// SPDX-License-Identifier: Apache-2.0
// The one property store behind __system_property_get/set and the system-control client stand-in.
// In memory by default; under HAL_SIM_DIR it lives in the file "properties" there, re-read on
// every access so that several processes (the library's user and halctl, say) see one store.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/system_properties.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "hal_sim/hal_sim.h"
#include "sim_files.h"

namespace hal_sim {
namespace {

constexpr size_t kMaxValueLength = PROP_VALUE_MAX - 1;
constexpr const char* kStoreName = "properties";
constexpr const char* kLockName = "properties.lock";
// Far more than any store of a device's properties; a larger file is not one the stand-ins wrote.
constexpr size_t kMaxStoreBytes = size_t{1} << 20;

std::mutex& store_mutex() {
    static std::mutex mutex;
    return mutex;
}

// Keys whose __system_property_set is refused.
std::set<std::string>& refused_keys() {
    static std::set<std::string> keys;
    return keys;
}

bool refused(const std::string& key) {
    std::lock_guard<std::mutex> guard(store_mutex());
    return refused_keys().count(key) != 0;
}

PropertyMap& memory_store() {
    static PropertyMap store;
    return store;
}

bool valid_key(const std::string& key) {
    return !key.empty() && key.find_first_of("=\n") == std::string::npos;
}

bool valid_value(const std::string& value) {
    return value.size() <= kMaxValueLength && value.find('\n') == std::string::npos;
}

std::string serialise(const PropertyMap& map) {
    std::string text;
    for (const auto& [key, value] : map) {
        text += key;
        text += '=';
        text += value;
        text += '\n';
    }
    return text;
}

// Holds an advisory lock on the store's lock file for as long as it lives. Readers need it
// little (the store is replaced by rename), writers must have it: a change made without it can
// undo another process's change.
class FileLock {
  public:
    FileLock(const std::string& dir, int operation)
        : fd_(open_regular_file(dir + "/" + kLockName, O_RDWR | O_CREAT, 0644)) {
        if (fd_ < 0) return;
        int status = 0;
        while ((status = flock(fd_, operation)) != 0 && errno == EINTR) {
        }
        if (status != 0) {
            close(fd_);
            fd_ = -1;
        }
    }
    ~FileLock() {
        if (fd_ >= 0) close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const {
        return fd_ >= 0;
    }

  private:
    int fd_;
};

// The whole store; false when its file exists but cannot be read (then *map holds nothing).
bool load(const std::optional<std::string>& dir, PropertyMap* map) {
    if (!dir) {
        *map = memory_store();
        return true;
    }
    std::string text;
    const bool read = read_file(*dir + "/" + kStoreName, kMaxStoreBytes, &text);
    *map = parse_store(text);
    return read;
}

PropertyMap readable(const std::optional<std::string>& dir) {
    PropertyMap map;
    load(dir, &map);
    return map;
}

bool store(const std::optional<std::string>& dir, const PropertyMap& map) {
    if (!dir) {
        memory_store() = map;
        return true;
    }
    return replace_file(*dir, kStoreName, serialise(map));
}

// Reads the store, applies `change` and writes the store back, under both locks. Without the
// file lock, or when the store cannot be read, it fails and leaves the store alone: a store taken
// for an empty one would be written back without its entries.
template <typename Change>
bool change_store(Change change) {
    std::lock_guard<std::mutex> guard(store_mutex());
    const auto dir = sim_dir();
    std::optional<FileLock> lock;
    if (dir) {
        lock.emplace(*dir, LOCK_EX);
        if (!lock->held()) return false;
        remove_temporaries(*dir, kStoreName);
    }
    PropertyMap map;
    if (!load(dir, &map)) return false;
    change(map);
    return store(dir, map);
}

std::optional<std::string> lookup(const std::string& key) {
    const PropertyMap map = properties();
    const auto it = map.find(key);
    if (it == map.end()) return std::nullopt;
    return it->second;
}

}  // namespace

PropertyMap parse_store(const std::string& text) {
    PropertyMap map;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        // A last line without its newline is a torn write from outside: skip it.
        if (end == std::string::npos) break;
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        std::string value = line.substr(eq + 1);
        if (!valid_key(key) || !valid_value(value) || value.find('\0') != std::string::npos ||
            key.find('\0') != std::string::npos) {
            continue;
        }
        map[std::move(key)] = std::move(value);
    }
    return map;
}

std::optional<std::string> property_value(const std::string& key) {
    return lookup(key);
}

bool set_property_value(const std::string& key, const std::string& value) {
    if (!valid_key(key) || !valid_value(value)) return false;
    return change_store([&](PropertyMap& map) { map[key] = value; });
}

bool keep_persistent_properties() {
    return change_store([](PropertyMap& map) {
        for (auto it = map.begin(); it != map.end();) {
            it = it->first.rfind("persist.", 0) == 0 ? std::next(it) : map.erase(it);
        }
    });
}

PropertyMap properties() {
    std::lock_guard<std::mutex> guard(store_mutex());
    const auto dir = sim_dir();
    std::optional<FileLock> lock;
    if (dir) lock.emplace(*dir, LOCK_SH);
    return readable(dir);
}

void refuse_property_set(const std::string& key) {
    std::lock_guard<std::mutex> guard(store_mutex());
    refused_keys().insert(key);
}

void clear_properties() {
    std::lock_guard<std::mutex> guard(store_mutex());
    memory_store().clear();
    refused_keys().clear();
    const auto dir = sim_dir();
    if (dir) {
        FileLock lock(*dir, LOCK_EX);
        if (!lock.held()) return;
        remove_temporaries(*dir, kStoreName);
        replace_file(*dir, kStoreName, "");
    }
}

}  // namespace hal_sim

extern "C" int __system_property_get(const char* name, char* value) {
    value[0] = '\0';
    if (name == nullptr) return 0;
    const auto found = hal_sim::property_value(name);
    if (!found) return 0;
    // Stored values are at most PROP_VALUE_MAX - 1 bytes, so this always fits.
    memcpy(value, found->c_str(), found->size() + 1);
    return static_cast<int>(found->size());
}

extern "C" int __system_property_set(const char* name, const char* value) {
    if (name == nullptr || value == nullptr) return -1;
    hal_sim::record(std::string("property.set ") + name + "=" + value);
    if (hal_sim::refused(name)) return -1;
    return hal_sim::set_property_value(name, value) ? 0 : -1;
}
