// SPDX-License-Identifier: Apache-2.0
// A fake sysfs for the library's device files. The test executable interposes open, write and
// close: while a Sandbox is alive, opens of paths under /sys/devices/platform/ go to the same
// path inside the sandbox directory, and every write to such a file is recorded in order.
// The library itself calls plain POSIX and knows nothing of this.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace fake_sysfs {

struct Write {
    std::string path;   // the device path the library opened
    std::string bytes;  // exactly the bytes it passed to write()
    bool operator==(const Write& other) const {
        return path == other.path && bytes == other.bytes;
    }
};
std::ostream& operator<<(std::ostream& out, const Write& write);

struct Open {
    std::string path;
    int flags;
    int fd;  // what open() returned to the library, -1 when it failed
};

class Sandbox {
  public:
    // Creates a fresh directory holding every device file of the library (empty files).
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::string& root() const {
        return root_;
    }
    std::vector<Write> writes() const;
    std::vector<Open> opens() const;
    // In order: "open PATH" (successful opens), "write PATH BYTES", "close PATH" (of a descriptor
    // that a device open returned), "write -1" and "close -1" (of a negative descriptor, such as
    // a failed open returns), and "usleep US" for every sleep asked of usleep().
    std::vector<std::string> calls() const;
    void clear();

    // Current bytes of a device file in the sandbox.
    std::string contents(const std::string& device_path) const;

    // Faults.
    void remove(const std::string& device_path);  // a file or a whole directory
    void refuse_open(const std::string& device_path, int error);
    void fail_writes(const std::string& device_path, int error);
    void short_writes(const std::string& device_path, size_t max_bytes);
    void clear_faults();

    // usleep() returns at once and is recorded in the simulator's journal as "usleep <us>",
    // for long runs of calls that include flashes. calls() records each sleep either way.
    void skip_sleeps(bool skip);

    // Each open for writing empties the file first, so that a reader finds the last value
    // written, as an attribute shows it. Off by default: the files then keep what the library
    // itself does to a plain file (a shorter value overwrites the head of a longer one).
    void store_values(bool store);

  private:
    std::string root_;
};

}  // namespace fake_sysfs
