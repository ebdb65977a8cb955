// SPDX-License-Identifier: Apache-2.0
#include "script_source.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace {

bool refuse(std::string* text, std::string* error, std::string reason) {
    text->clear();
    *error = std::move(reason);
    return false;
}

std::string cannot_read() {
    return std::string("cannot read: ") + strerror(errno);
}

}  // namespace

bool read_script(int fd, std::string* text, std::string* error) {
    text->clear();
    char buffer[65536];
    for (;;) {
        // One byte past the limit tells that the script is too large.
        const size_t wanted = std::min(sizeof(buffer), kMaxScriptBytes + 1 - text->size());
        const ssize_t n = read(fd, buffer, wanted);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return refuse(text, error, cannot_read());
        if (n == 0) return true;
        text->append(buffer, static_cast<size_t>(n));
        if (text->size() > kMaxScriptBytes) {
            return refuse(text, error,
                          "larger than " + std::to_string(kMaxScriptBytes) +
                                  " bytes, the limit of a script");
        }
    }
}

bool read_script_file(const std::string& file, std::string* text, std::string* error) {
    if (file == "-") return read_script(STDIN_FILENO, text, error);
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return refuse(text, error, cannot_read());
    const bool read_whole = read_script(fd, text, error);
    close(fd);
    return read_whole;
}
