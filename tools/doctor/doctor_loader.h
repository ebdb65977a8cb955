// SPDX-License-Identifier: Apache-2.0
// The loader's own verdict on a library: dlopen(RTLD_NOW) in a fresh process of its own (halctl
// re-executed), under a process that halctl starts and that is not halctl, all in a process group
// of their own: whatever loading runs (the library's load-time objects, its dependencies'
// constructors) cannot end or hang the doctor, and what it prints is caught, not shown raw.
#pragma once

#include <string>
#include <vector>

#include "doctor_check.h"
#include "elf_needed.h"
#include "ld_so_cache.h"

// A library the library needs, asked of the loader alone after the library was refused.
struct DependencyAnswer {
    std::string name;  // as asked: a path, or a bare name
    bool loaded = false;
    std::string text;  // where the loader found it ("" when it did not say), or dlerror()'s text
    // Asked by its bare name and found only in a directory of halctl's own DT_RUNPATH, which
    // applies to what halctl loads and never to what the library needs.
    bool through_halctl = false;
};

struct LoadOutcome {
    enum class Kind {
        kLoaded,
        kRefused,
        kSignal,        // a fatal signal ended the loading process
        kExited,        // the loading process exited before dlopen returned
        kTimedOut,      // killed at the deadline
        kStarterEnded,  // the process that started the loading was ended by a signal
        kReportLost,    // it ended as after a load or a refusal, without the report that says so
        kNotRun,        // no fresh process could load it
    };
    // Where a fatal signal struck: in the dynamic loader (a file it cannot read), in code that
    // loading ran (a constructor, an IFUNC resolver), or unknown.
    enum class Crash { kNone, kLoader, kLoadedCode, kUnknown };

    Kind kind = Kind::kNotRun;
    std::string message;  // dlerror()'s text, or what became of the loading
    Crash crash = Crash::kNone;
    bool fresh_process = false;        // re-executed, not a forked copy of halctl
    std::string output;                // what loading printed on stdout and stderr, bounded
    bool output_cut = false;           // it printed more than kMostLoadOutput bytes
    std::vector<std::string> objects;  // after a load: every object the loader has, by its path
    std::vector<DependencyAnswer> dependencies;  // after a refusal
};

constexpr int kLoadTimeoutMs = 5000;
constexpr size_t kMostLoadOutput = 4096;

// Loads `library` (a path, or a bare name for the loader's search). After a refusal the loader is
// asked for each of `dependencies` (paths, or bare names) alone. Every process of the loading is
// killed once it is done or at `timeout_ms`, and when halctl is interrupted (SIGINT, SIGTERM,
// SIGHUP). The verdict is how the loading process ended, as the process that started it saw it; the
// records, which loaded code can write as well, must agree with it.
LoadOutcome load_in_child(const std::string& library,
                          const std::vector<std::string>& dependencies = {},
                          int timeout_ms = kLoadTimeoutMs);

// Whose loader the search follows: glibc's (DT_RPATH, LD_LIBRARY_PATH, DT_RUNPATH, the default
// directories) or bionic's, which ignores DT_RPATH and whose linker namespaces decide the rest.
enum class LoaderModel { kGlibc, kBionic };
#if defined(__ANDROID__)
constexpr LoaderModel kThisLoader = LoaderModel::kBionic;
#else
constexpr LoaderModel kThisLoader = LoaderModel::kGlibc;
#endif

// Where the loader looks for a library needed by the object `from` (whose directory is $ORIGIN),
// before anything of its own, in its order. For glibc: DT_RPATH (only without a DT_RUNPATH),
// LD_LIBRARY_PATH, DT_RUNPATH. For bionic: LD_LIBRARY_PATH and DT_RUNPATH; bionic ignores
// DT_RPATH.
std::vector<std::string> search_dirs(const ElfNeeded& from, const std::string& origin,
                                     const char* library_path, LoaderModel model = kThisLoader);
// glibc's default directories for the object's class, searched last; none for bionic, where
// what comes after is its linker namespaces' to say.
std::vector<std::string> default_dirs(const ElfNeeded& from, LoaderModel model = kThisLoader);

// The first of `dirs` holding a regular file `name`, or "".
std::string find_in(const std::vector<std::string>& dirs, const std::string& name);

// The whole search for what an object needs, as its own load makes it: the object's and the
// environment's directories, then (glibc) the loader's cache and its default directories.
struct LibrarySearch {
    LoaderModel model = kThisLoader;
    bool is_64bit = false;  // the class and machine of the object whose needs are looked for
    uint16_t machine = 0;
    std::vector<std::string> dirs;
    LdSoCache cache;  // glibc's; unread (no file) for bionic
    std::vector<std::string> defaults;

    // Where the search finds `name`: a regular file, for glibc one of the object's class and
    // machine; "" when nowhere.
    std::string find(const std::string& name) const;
    // Where it looked, for a finding that it found nothing.
    std::string places() const;
};
LibrarySearch library_search(const ElfNeeded& from, const std::string& origin,
                             const char* library_path, const std::string& cache_file = kLdSoCache,
                             LoaderModel model = kThisLoader);

// What the loader is asked to load alone after `needed`'s refusal: each library found by the
// search, by its path, so that nothing of halctl's own search answers for it; one not found,
// by its bare name where the loader's namespaces decide the rest (bionic), else not at all.
std::vector<std::string> dependency_asks(const ElfNeeded& needed, const LibrarySearch& search);

// The loader's verdict on `subject`, its hint chosen by what the loader said.
DoctorCheck load_verdict(const std::string& subject, const LoadOutcome& outcome);
// One library needed: after a load, where the loader has it; else where the search finds it and
// whether the loader loads it from there, or (bionic) the loader's own answer. Each one missing or
// refused fails.
DoctorCheck dependency_verdict(const std::string& name, const LibrarySearch& search,
                               const LoadOutcome& load);
