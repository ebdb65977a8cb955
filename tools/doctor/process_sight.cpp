// SPDX-License-Identifier: Apache-2.0
#include "process_sight.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "library_holders.h"

namespace {

bool is_pid(const char* name) {
    if (*name == '\0') return false;
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
    }
    return true;
}

}  // namespace

ProcessSight process_sight(const std::string& proc_root, pid_t self) {
    ProcessSight sight;
    const std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir(proc_root.c_str()), closedir);
    if (!proc) return sight;
    sight.listed = true;
    for (size_t seen = 0; seen < kProcessLimit; ++seen) {
        const dirent* entry = readdir(proc.get());  // NOLINT(concurrency-mt-unsafe)
        if (entry == nullptr) break;
        if (!is_pid(entry->d_name) || std::strtol(entry->d_name, nullptr, 10) == self) continue;
        const std::string maps = proc_root + "/" + entry->d_name + "/maps";
        // Opened and read, as the scan reads it: the kernel checks on the read as well.
        const int fd = open(maps.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        int error = fd < 0 ? errno : 0;
        if (fd >= 0) {
            char byte = 0;
            if (read(fd, &byte, 1) < 0) error = errno;
            close(fd);
        }
        if (error == EACCES || error == EPERM) ++sight.unseen;
    }
    return sight;
}
