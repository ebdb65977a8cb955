// SPDX-License-Identifier: Apache-2.0
#include "fake_sysfs.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "device_paths.h"
#include "hal_sim/hal_sim.h"

namespace fake_sysfs {
namespace {

constexpr const char kDevicePrefix[] = "/sys/devices/platform/";

struct Fault {
    int open_error = 0;
    int write_error = 0;
    size_t max_write = SIZE_MAX;
};

struct State {
    std::mutex mutex;
    std::string root;  // empty: no sandbox, everything passes through
    std::map<int, std::string> open_files;
    std::map<std::string, Fault> faults;
    std::vector<Write> writes;
    std::vector<Open> opens;
    std::vector<std::string> calls;
    bool skip_sleeps = false;
    bool store_values = false;
};

State& state() {
    static State* instance = new State;  // used by interposed calls until the very end
    return *instance;
}

using OpenFn = int (*)(const char*, int, ...);
using WriteFn = ssize_t (*)(int, const void*, size_t);
using CloseFn = int (*)(int);

template <typename Fn>
Fn next(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

bool is_device_path(const char* path) {
    return path != nullptr && strncmp(path, kDevicePrefix, sizeof(kDevicePrefix) - 1) == 0;
}

int interposed_open(OpenFn real_open, const char* path, int flags, mode_t mode) {
    std::string redirected;
    if (is_device_path(path)) {
        std::lock_guard<std::mutex> guard(state().mutex);
        if (!state().root.empty()) {
            const auto fault = state().faults.find(path);
            if (fault != state().faults.end() && fault->second.open_error != 0) {
                state().opens.push_back({path, flags, -1});
                errno = fault->second.open_error;
                return -1;
            }
            redirected = state().root + path;
        }
    }
    if (redirected.empty()) return real_open(path, flags, mode);
    // With store_values, a file opened for writing is emptied first, so that a reader finds the
    // last value written, as an attribute shows it; the flags recorded stay the caller's.
    bool store = false;
    {
        std::lock_guard<std::mutex> guard(state().mutex);
        store = state().store_values && (flags & O_ACCMODE) != O_RDONLY;
    }
    const int fd = real_open(redirected.c_str(), store ? flags | O_TRUNC : flags, mode);
    const int error = errno;
    {
        std::lock_guard<std::mutex> guard(state().mutex);
        state().opens.push_back({path, flags, fd});
        if (fd >= 0) {
            state().open_files[fd] = path;
            state().calls.push_back(std::string("open ") + path);
        }
    }
    errno = error;
    return fd;
}

mode_t mode_argument(int flags, va_list args) {
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Write& write) {
    return out << write.path << " <- \"" << write.bytes << "\"";
}

Sandbox::Sandbox() {
    std::string pattern = std::filesystem::temp_directory_path() / "fake_sysfs.XXXXXX";
    root_ = mkdtemp(pattern.data());
    for (const char* path : test_paths::kAllDeviceFiles) {
        const std::filesystem::path file = root_ + path;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream{file};
    }
    std::lock_guard<std::mutex> guard(state().mutex);
    state().root = root_;
    state().faults.clear();
    state().writes.clear();
    state().opens.clear();
    state().calls.clear();
}

Sandbox::~Sandbox() {
    {
        std::lock_guard<std::mutex> guard(state().mutex);
        state().root.clear();
        state().faults.clear();
        state().skip_sleeps = false;
        state().store_values = false;
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::vector<Write> Sandbox::writes() const {
    std::lock_guard<std::mutex> guard(state().mutex);
    return state().writes;
}

std::vector<Open> Sandbox::opens() const {
    std::lock_guard<std::mutex> guard(state().mutex);
    return state().opens;
}

std::vector<std::string> Sandbox::calls() const {
    std::lock_guard<std::mutex> guard(state().mutex);
    return state().calls;
}

void Sandbox::clear() {
    std::lock_guard<std::mutex> guard(state().mutex);
    state().writes.clear();
    state().opens.clear();
    state().calls.clear();
}

std::string Sandbox::contents(const std::string& device_path) const {
    std::ifstream in(root_ + device_path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Sandbox::remove(const std::string& device_path) {
    std::filesystem::remove_all(root_ + device_path);
}

void Sandbox::refuse_open(const std::string& device_path, int error) {
    std::lock_guard<std::mutex> guard(state().mutex);
    state().faults[device_path].open_error = error;
}

void Sandbox::fail_writes(const std::string& device_path, int error) {
    std::lock_guard<std::mutex> guard(state().mutex);
    state().faults[device_path].write_error = error;
}

void Sandbox::short_writes(const std::string& device_path, size_t max_bytes) {
    std::lock_guard<std::mutex> guard(state().mutex);
    state().faults[device_path].max_write = max_bytes;
}

void Sandbox::clear_faults() {
    std::lock_guard<std::mutex> guard(state().mutex);
    state().faults.clear();
}

void Sandbox::skip_sleeps(bool skip) {
    std::lock_guard<std::mutex> guard(state().mutex);
    state().skip_sleeps = skip;
}

void Sandbox::store_values(bool store) {
    std::lock_guard<std::mutex> guard(state().mutex);
    state().store_values = store;
}

}  // namespace fake_sysfs

using fake_sysfs::state;

extern "C" {

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = fake_sysfs::mode_argument(flags, args);
    va_end(args);
    static const auto real = fake_sysfs::next<fake_sysfs::OpenFn>("open");
    return fake_sysfs::interposed_open(real, path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = fake_sysfs::mode_argument(flags, args);
    va_end(args);
    static const auto real = fake_sysfs::next<fake_sysfs::OpenFn>("open64");
    return fake_sysfs::interposed_open(real, path, flags, mode);
}

// The fortified forms, in case the library is built with _FORTIFY_SOURCE.
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp): libc's name
int __open_2(const char* path, int flags) {
    static const auto real = fake_sysfs::next<fake_sysfs::OpenFn>("open");
    return fake_sysfs::interposed_open(real, path, flags, 0);
}

// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp): libc's name
int __open64_2(const char* path, int flags) {
    static const auto real = fake_sysfs::next<fake_sysfs::OpenFn>("open64");
    return fake_sysfs::interposed_open(real, path, flags, 0);
}

int usleep(useconds_t microseconds) {
    using SleepFn = int (*)(useconds_t);
    static const auto real_usleep = fake_sysfs::next<SleepFn>("usleep");
    bool skip = false;
    {
        std::lock_guard<std::mutex> guard(state().mutex);
        skip = state().skip_sleeps;
        if (!state().root.empty())
            state().calls.push_back("usleep " + std::to_string(microseconds));
    }
    if (!skip) return real_usleep(microseconds);
    hal_sim::record("usleep " + std::to_string(microseconds));
    return 0;
}

ssize_t write(int fd, const void* buffer, size_t count) {
    static const fake_sysfs::WriteFn real_write = fake_sysfs::next<fake_sysfs::WriteFn>("write");
    size_t allowed = count;
    {
        std::lock_guard<std::mutex> guard(state().mutex);
        // A write on a descriptor no open returned (a failed open's -1) is a fault of its own.
        if (fd < 0 && !state().root.empty()) state().calls.push_back("write " + std::to_string(fd));
        const auto file = state().open_files.find(fd);
        if (file != state().open_files.end()) {
            fake_sysfs::Write record{file->second,
                                     std::string(static_cast<const char*>(buffer), count)};
            // Also in the simulator's journal, to order device writes against platform calls.
            hal_sim::record("write " + record.path + " " + record.bytes);
            state().calls.push_back("write " + record.path + " " + record.bytes);
            state().writes.push_back(std::move(record));
            const auto fault = state().faults.find(file->second);
            if (fault != state().faults.end()) {
                if (fault->second.write_error != 0) {
                    errno = fault->second.write_error;
                    return -1;
                }
                allowed = std::min(count, fault->second.max_write);
            }
        }
    }
    return real_write(fd, buffer, allowed);
}

int close(int fd) {
    static const fake_sysfs::CloseFn real_close = fake_sysfs::next<fake_sysfs::CloseFn>("close");
    {
        std::lock_guard<std::mutex> guard(state().mutex);
        if (fd < 0 && !state().root.empty()) state().calls.push_back("close " + std::to_string(fd));
        const auto file = state().open_files.find(fd);
        if (file != state().open_files.end()) {
            state().calls.push_back("close " + file->second);
            state().open_files.erase(file);
        }
    }
    return real_close(fd);
}

}  // extern "C"
