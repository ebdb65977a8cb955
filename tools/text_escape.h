// SPDX-License-Identifier: Apache-2.0
// Text from the device (paths, attribute and property values, library names) made safe to print:
// it may hold any byte.
#pragma once

#include <string>

// A JSON string literal, quotes included, valid whatever the bytes: control bytes as \u00XX
// (\n, \t, \" and \\ as such), each byte of an invalid UTF-8 sequence as U+FFFD.
std::string json_string(const std::string& text);

// For a terminal: control bytes (and DEL) as \xNN, everything else as it is.
std::string printable(const std::string& text);
