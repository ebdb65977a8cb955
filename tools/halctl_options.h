// SPDX-License-Identifier: Apache-2.0
// halctl's options, read with getopt_long as the platform's tools read theirs: combined short
// options (-vx), --lib PATH or --lib=PATH, --color=WHEN, --force, --help, --version, and -- to end
// them.
// Options come before the command; the command's own words are left to the command parser.
#pragma once

#include <string>
#include <vector>

constexpr const char* kHalctlVersion = "1.0";

struct Options {
    bool verbose = false;
    bool trace = false;
    bool force = false;   // change the device even while its hosting service runs
    std::string library;  // empty: look beside halctl, then on the library path
    enum class Colour { kAuto, kAlways, kNever } colour = Colour::kAuto;
};

struct OptionsResult {
    enum class Outcome { kCommand, kHelp, kVersion, kError } outcome = Outcome::kError;
    Options options;
    std::vector<std::string> words;  // the command and its arguments
    std::string error;               // for kError: what was wrong, one line
    std::string usage;               // for kError: a usage hint
};

// Reads argv[1..argc-1]. Resets getopt's state first, so it may be called more than once.
OptionsResult parse_options(int argc, char* const argv[]);
