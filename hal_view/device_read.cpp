// SPDX-License-Identifier: Apache-2.0
#include "device_read.h"

#include <fcntl.h>
#include <sys/system_properties.h>
#include <unistd.h>

#include <algorithm>

namespace {

constexpr size_t kAttributeLimit = size_t{64} * 1024;

}  // namespace

bool read_bounded(const char* path, size_t limit, std::string* text, bool* cut) {
    text->clear();
    if (cut != nullptr) *cut = false;
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    char buffer[4096];
    ssize_t n = 0;
    while (text->size() < limit &&
           (n = read(fd, buffer, std::min(sizeof(buffer), limit - text->size()))) > 0) {
        text->append(buffer, static_cast<size_t>(n));
    }
    if (n > 0 && cut != nullptr) *cut = read(fd, buffer, 1) > 0;
    close(fd);
    return n >= 0;
}

bool read_attribute(const char* path, std::string* text, bool* cut) {
    // The whole attribute: the kernel's trigger list runs past 256 bytes, and the active entry,
    // in brackets, may be near its end.
    return read_bounded(path, kAttributeLimit, text, cut);
}

std::string read_property(const char* key) {
    char value[PROP_VALUE_MAX] = {};
    __system_property_get(key, value);
    return value;
}
