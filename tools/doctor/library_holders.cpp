// SPDX-License-Identifier: Apache-2.0
#include "library_holders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <memory>

#include "device_read.h"
#include "doctor_expectations.h"
#include "text_escape.h"

namespace {

// A maps line is its fields and at most a path; a longer one is no mapping of ours.
constexpr size_t kMapsLineLimit = 8192;
// Of a holder's command, at most this much is shown.
constexpr size_t kCommandShown = 64;

struct FileId {
    unsigned int major = 0;
    unsigned int minor = 0;
    unsigned long long inode = 0;
};

long long now_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::string file_name(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A process directory's pid: digits only, within pid_t. Anything else under /proc is none.
bool pid_of(const char* name, pid_t* pid) {
    const char* end = name + std::strlen(name);
    long long value = 0;
    const auto [stop, error] = std::from_chars(name, end, value);
    if (name == end || *name < '0' || *name > '9' || error != std::errc() || stop != end ||
        value > std::numeric_limits<pid_t>::max()) {
        return false;
    }
    *pid = static_cast<pid_t>(value);
    return true;
}

// The next blank-separated field of a line at *at, or an empty view at its end.
std::string field(const char* line, size_t length, size_t* at) {
    while (*at < length && line[*at] == ' ') ++*at;
    const size_t start = *at;
    while (*at < length && line[*at] != ' ') ++*at;
    return std::string(line + start, *at - start);
}

bool parse_hex(const std::string& text, unsigned int* value) {
    if (text.empty() || text.size() > 8) return false;
    unsigned int v = 0;
    for (const char c : text) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) return false;
        v = v * 16 + static_cast<unsigned int>(digit);
    }
    *value = v;
    return true;
}

bool parse_inode(const std::string& text, unsigned long long* value) {
    if (text.empty() || text.size() > 20) return false;
    unsigned long long v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<unsigned long long>(c - '0');
    }
    *value = v;
    return true;
}

// Whether a line of maps ("start-end perms offset MAJ:MIN inode   /path") maps the file.
bool maps_file(const char* line, size_t length, const FileId& file) {
    size_t at = 0;
    for (int skipped = 0; skipped < 3; ++skipped) field(line, length, &at);
    const std::string device = field(line, length, &at);
    const size_t colon = device.find(':');
    FileId mapped;
    if (colon == std::string::npos || !parse_hex(device.substr(0, colon), &mapped.major) ||
        !parse_hex(device.substr(colon + 1), &mapped.minor) ||
        !parse_inode(field(line, length, &at), &mapped.inode)) {
        return false;
    }
    return mapped.inode != 0 && mapped.inode == file.inode && mapped.major == file.major &&
           mapped.minor == file.minor;
}

enum class MapsRead {
    kHolds,
    kDoesNotHold,
    kGone,
    kRefused,
    kProcessBudget,
    kTotalBudget,
    kDeadline,
    kProcessLimit,  // the scan's own bounds, met with processes still to look at
    kHolderLimit,
};

// A maps file that cannot be opened or read: refused to this process, or its process gone.
MapsRead unreadable(int error) {
    return error == EACCES || error == EPERM ? MapsRead::kRefused : MapsRead::kGone;
}

struct Budget {
    size_t total_left;
    long long deadline;
};

// Reads a process's maps in blocks, line by line, until the file is found or a bound is met.
MapsRead read_maps(const std::string& path, const FileId& file, const HolderScanLimits& limits,
                   Budget* budget) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return unreadable(errno);
    std::string line;
    char block[16384];
    size_t read_here = 0;
    MapsRead outcome = MapsRead::kDoesNotHold;
    for (;;) {
        if (now_ms() >= budget->deadline) {
            outcome = MapsRead::kDeadline;
            break;
        }
        if (read_here >= limits.process_bytes) {
            outcome = MapsRead::kProcessBudget;
            break;
        }
        if (budget->total_left == 0) {
            outcome = MapsRead::kTotalBudget;
            break;
        }
        const size_t wanted =
                std::min({sizeof(block), limits.process_bytes - read_here, budget->total_left});
        const ssize_t n = read(fd, block, wanted);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            outcome = read_here == 0 ? unreadable(errno) : MapsRead::kDoesNotHold;
            break;
        }
        if (n == 0) break;
        read_here += static_cast<size_t>(n);
        budget->total_left -= static_cast<size_t>(n);
        bool found = false;
        for (ssize_t i = 0; i < n && !found; ++i) {
            if (block[i] != '\n') {
                if (line.size() < kMapsLineLimit) line += block[i];
                continue;
            }
            found = maps_file(line.data(), line.size(), file);
            line.clear();
        }
        if (found) {
            outcome = MapsRead::kHolds;
            break;
        }
    }
    close(fd);
    return outcome;
}

std::string command_of(const std::string& dir) {
    std::string text;
    if (read_attribute((dir + "/cmdline").c_str(), &text)) {
        std::string first = file_name(text.substr(0, text.find('\0')));
        if (!first.empty()) return first;
    }
    if (read_attribute((dir + "/comm").c_str(), &text)) {
        while (!text.empty() && text.back() == '\n') text.pop_back();
        if (!text.empty()) return text;
    }
    return "?";
}

std::string megabytes(size_t bytes) {
    return std::to_string(bytes >> 20) + " MiB";
}

// Why a scan stopped short, for a message that says so rather than claiming nobody holds it.
std::string cut_reason(MapsRead stop, size_t cut_processes, const HolderScanLimits& limits) {
    std::string reason;
    switch (stop) {
        case MapsRead::kTotalBudget:
            reason = "the scan of /proc/*/maps stopped after reading " +
                     megabytes(limits.total_bytes) + " in all";
            break;
        case MapsRead::kDeadline:
            reason = "the scan of /proc/*/maps stopped at its deadline of " +
                     std::to_string(limits.deadline_ms) + " ms";
            break;
        case MapsRead::kProcessLimit:
            reason = "the scan of /proc/*/maps stopped after " + std::to_string(limits.processes) +
                     " processes, with more running";
            break;
        case MapsRead::kHolderLimit:
            reason = "the scan of /proc/*/maps stopped at " + std::to_string(limits.holders) +
                     (limits.holders == 1 ? " holder" : " holders") +
                     " named, with more processes to look at";
            break;
        default:
            break;
    }
    if (cut_processes > 0) {
        reason += (reason.empty() ? "" : "; ") + std::to_string(cut_processes) +
                  (cut_processes == 1 ? " process has" : " processes have") + " maps longer than " +
                  megabytes(limits.process_bytes) + ", read only that far";
    }
    return reason;
}

}  // namespace

HolderScan library_holders(const std::string& proc_root, const std::string& library, pid_t self,
                           const HolderScanLimits& limits) {
    HolderScan scan;
    struct stat info {};
    if (library.find('/') == std::string::npos || stat(library.c_str(), &info) != 0) {
        scan.complete = false;
        scan.cut =
                "the library file " + printable(library) + " cannot be examined" +
                (library.find('/') == std::string::npos ? "" : std::string(": ") + strerror(errno));
        return scan;
    }
    const FileId file{major(info.st_dev), minor(info.st_dev),
                      static_cast<unsigned long long>(info.st_ino)};
    const std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir(proc_root.c_str()), closedir);
    if (!proc) {
        scan.complete = false;
        scan.cut = printable(proc_root) + " cannot be read";
        return scan;
    }
    Budget budget{limits.total_bytes, now_ms() + limits.deadline_ms};
    size_t cut_processes = 0;
    MapsRead stop = MapsRead::kDoesNotHold;
    size_t seen = 0;
    for (;;) {
        const dirent* entry = readdir(proc.get());  // NOLINT(concurrency-mt-unsafe)
        if (entry == nullptr) break;
        pid_t pid = 0;
        if (!pid_of(entry->d_name, &pid) || pid == self) continue;
        // A bound met only counts when there is a process past it.
        if (seen == limits.processes || scan.holders.size() == limits.holders) {
            stop = seen == limits.processes ? MapsRead::kProcessLimit : MapsRead::kHolderLimit;
            break;
        }
        ++seen;
        const std::string dir = proc_root + "/" + entry->d_name;
        const MapsRead read = read_maps(dir + "/maps", file, limits, &budget);
        if (read == MapsRead::kHolds) scan.holders.push_back({pid, command_of(dir)});
        if (read == MapsRead::kProcessBudget) ++cut_processes;
        if (read == MapsRead::kRefused) ++scan.unseen;
        if (read == MapsRead::kTotalBudget || read == MapsRead::kDeadline) {
            stop = read;
            break;
        }
    }
    if (stop != MapsRead::kDoesNotHold || cut_processes > 0) {
        scan.complete = false;
        scan.cut = cut_reason(stop, cut_processes, limits);
    }
    std::sort(scan.holders.begin(), scan.holders.end(),
              [](const LibraryHolder& a, const LibraryHolder& b) { return a.pid < b.pid; });
    return scan;
}

std::string stop_command(const LibraryHolder& holder) {
    // The kernel's comm keeps 15 characters of the binary's name.
    const std::string binary = kHostServiceBinary;
    if (holder.command == binary ||
        (holder.command.size() >= 15 &&
         binary.compare(0, holder.command.size(), holder.command) == 0)) {
        return std::string("stop ") + kHostService;
    }
    return "kill " + std::to_string(holder.pid);
}

std::string describe_holders(const std::vector<LibraryHolder>& holders) {
    std::string text;
    for (const LibraryHolder& holder : holders) {
        text += (text.empty() ? "" : ", ") + std::string("pid ") + std::to_string(holder.pid) +
                " (" + printable_excerpt(holder.command, kCommandShown) + "; " +
                stop_command(holder) + ")";
    }
    return text;
}
