// SPDX-License-Identifier: Apache-2.0
// Every byte of a buffer written to a descriptor: resumed after a short write and after a signal
// (EINTR). Async-signal-safe. A caller that bounds the write in time makes the descriptor
// non-blocking, polls on EAGAIN and resumes from *done.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>

// 0 when all `size` bytes were written; else the errno of the write that failed (EIO for one that
// wrote nothing). *done, when given, gets the bytes written in all.
inline int write_all(int fd, const char* data, size_t size, size_t* done = nullptr) {
    size_t written = 0;
    int error = 0;
    while (written < size) {
        const ssize_t n = write(fd, data + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        written += static_cast<size_t>(n);
    }
    if (done != nullptr) *done = written;
    return error;
}
