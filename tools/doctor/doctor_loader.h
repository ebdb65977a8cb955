// SPDX-License-Identifier: Apache-2.0
// The loader's own verdict on a library: dlopen(RTLD_NOW) in a child process, so that whatever
// loading runs (the library's load-time objects, its dependencies' constructors) cannot crash or
// hang the doctor, and where the loader would find each library it needs.
#pragma once

#include <string>
#include <vector>

#include "doctor_check.h"
#include "elf_needed.h"

struct LoadOutcome {
    enum class Kind { kLoaded, kRefused, kSignal, kExited, kTimedOut, kNotRun };
    Kind kind = Kind::kNotRun;
    std::string message;  // dlerror()'s text, or what became of the child
};

constexpr int kLoadTimeoutMs = 5000;

// Loads `library` (a path, or a bare name for the loader's search) in a forked child, which is
// killed and reaped once `timeout_ms` have passed.
LoadOutcome load_in_child(const std::string& library, int timeout_ms = kLoadTimeoutMs);

// Where the loader looks for `name`, needed by the object `from` (whose directory is $ORIGIN),
// in the loader's order: DT_RPATH (only without a DT_RUNPATH), LD_LIBRARY_PATH, DT_RUNPATH, then
// the default directories of the object's class (lib for 32-bit, lib64 for 64-bit).
std::vector<std::string> search_dirs(const ElfNeeded& from, const std::string& origin,
                                     const char* library_path);

// The first of `dirs` holding a regular file `name`, or "".
std::string find_in(const std::vector<std::string>& dirs, const std::string& name);

// The loader's verdict on `subject`, its hint chosen by what the loader said.
DoctorCheck load_verdict(const std::string& subject, const LoadOutcome& outcome);
// One library needed: where the search finds it. Not found there fails only when the loader
// named it in refusing the load: the loader may have it from its cache, or already loaded.
DoctorCheck dependency_verdict(const std::string& name, const std::vector<std::string>& dirs,
                               const LoadOutcome& load);
