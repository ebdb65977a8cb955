// SPDX-License-Identifier: Apache-2.0
// Reading the device as the library meets it: attribute files and system properties, for `show`
// and the doctor alike.
#pragma once

#include <cstddef>
#include <string>

// The whole attribute (at most 64 KiB, whatever the file is); false when it cannot be opened or
// read. Plain POSIX, as the library itself opens these files, so that a sysfs emulated by
// preloading (umockdev) answers both alike. Non-blocking: an emulated attribute can be a FIFO,
// which would otherwise hold the open until someone writes to it. *cut, when given, says whether
// the attribute ran past the bound (the text then stops there).
bool read_attribute(const char* path, std::string* text, bool* cut = nullptr);

// At most `limit` bytes of the file, opened and read as read_attribute does.
bool read_bounded(const char* path, size_t limit, std::string* text, bool* cut = nullptr);

// The property's value, empty when it is not set.
std::string read_property(const char* key);
