// SPDX-License-Identifier: Apache-2.0
// Leaves a process's pid (the caller's unless named) where LOADER_CASE_PID_FILE names (if it
// does), so that a test can tell whether that process outlives the doctor's check.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

inline void leave_pid(pid_t pid = getpid()) {
    const char* file = getenv("LOADER_CASE_PID_FILE");  // NOLINT(concurrency-mt-unsafe)
    if (file == nullptr) return;
    const int fd = open(file, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const std::string text = std::to_string(pid) + "\n";
    (void)!write(fd, text.data(), text.size());
    close(fd);
}
