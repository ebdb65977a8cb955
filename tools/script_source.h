// SPDX-License-Identifier: Apache-2.0
// Reading a halctl script whole, before any of its lines is checked or run.
#pragma once

#include <cstddef>
#include <string>

// The largest script halctl runs. Scripts are written by hand or by a test, and far smaller;
// the limit stops `halctl run /dev/zero` from reading until memory runs out.
constexpr size_t kMaxScriptBytes = size_t{1} << 20;

// Reads everything from fd into *text. False, with the reason in *error, when a read fails (a
// directory, a closed descriptor, an I/O error part-way through) or there is more than
// kMaxScriptBytes; then *text is empty, so no part of the script can run.
bool read_script(int fd, std::string* text, std::string* error);

// The script named on the command line: a file, or "-" for standard input.
bool read_script_file(const std::string& file, std::string* text, std::string* error);
