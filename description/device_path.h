// SPDX-License-Identifier: Apache-2.0
// A device file path put together at compile time from its parts, so that each part is spelled
// once and every table built from it is still constant data: nothing is constructed at load.
#pragma once

#include <cstddef>
#include <initializer_list>

// Room for the longest path of the device with its NUL.
constexpr size_t kDevicePathCapacity = 96;

struct DevicePath {
    char text[kDevicePathCapacity];

    constexpr const char* c_str() const {
        return text;
    }
};

// The parts one after the other. A path longer than the capacity fails to compile where it is
// a constant: the write past the end of `text` is not a constant expression.
constexpr DevicePath device_path(std::initializer_list<const char*> parts) {
    DevicePath path{};
    size_t length = 0;
    for (const char* part : parts) {
        for (const char* c = part; *c != '\0'; ++c) path.text[length++] = *c;
    }
    path.text[length] = '\0';
    return path;
}
