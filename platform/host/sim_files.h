// SPDX-License-Identifier: Apache-2.0
// File helpers shared by the stand-ins.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>

namespace hal_sim {

// The directory named by HAL_SIM_DIR, if set and non-empty.
std::optional<std::string> sim_dir();

// Opens `path` (open(2) flags, O_CLOEXEC added) only if it is a regular file: a symbolic link, a
// FIFO, a device or a directory in its place is refused with EINVAL or ELOOP, and never waited on.
int open_regular_file(const std::string& path, int flags, mode_t mode = 0);

// Reads a whole regular file of at most `max_bytes`; a missing file reads as "". False (and ""
// in *text) when it exists but cannot be read wholly, is not a regular file, or is larger.
bool read_file(const std::string& path, size_t max_bytes, std::string* text);

// Replaces dir/name atomically: writes a temporary file in dir (dir/name.tmp.PID), syncs it,
// then renames it over the old one, so a reader sees either the old or the new file, never a
// torn one.
bool replace_file(const std::string& dir, const std::string& name, const std::string& text);

// Removes the temporary files of replace_file(dir, name) that a writer killed before its rename
// left behind. Only for a caller that excludes every other writer of dir/name.
void remove_temporaries(const std::string& dir, const std::string& name);

// The decimal text of `value`. Not std::to_string: GCC makes its digit table an STB_GNU_UNIQUE
// symbol, and glibc never unloads an object that defines one.
std::string decimal_text(long long value);

// Appends one line to dir/name.
bool append_line(const std::string& dir, const std::string& name, const std::string& line);

// Property access for the other stand-ins.
std::optional<std::string> property_value(const std::string& key);
bool set_property_value(const std::string& key, const std::string& value);
// Drops every property not named persist.*, in one change of the store.
bool keep_persistent_properties();

}  // namespace hal_sim
