// File helpers shared by the stand-ins.
#pragma once

#include <optional>
#include <string>

namespace hal_sim {

// The directory named by HAL_SIM_DIR, if set and non-empty.
std::optional<std::string> sim_dir();

// Reads a whole file; false (and "" in *text) when it cannot be read.
bool read_file(const std::string& path, std::string* text);

// Replaces dir/name atomically: writes a temporary file in dir, syncs it, then renames it over
// the old one, so a reader sees either the old or the new file, never a torn one.
bool replace_file(const std::string& dir, const std::string& name, const std::string& text);

// Appends one line to dir/name.
bool append_line(const std::string& dir, const std::string& name, const std::string& line);

// Property access for the other stand-ins.
std::optional<std::string> property_value(const std::string& key);
bool set_property_value(const std::string& key, const std::string& value);
// Drops every property not named persist.*, in one change of the store.
bool keep_persistent_properties();

}  // namespace hal_sim
