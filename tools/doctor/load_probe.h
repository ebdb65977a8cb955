// SPDX-License-Identifier: Apache-2.0
// The process that loads the library for the doctor. halctl re-executes itself (/proc/self/exe)
// with kLoadProbeVariable in its environment; before main runs, the probe takes over, loads the
// library as a fresh process does and reports on a pipe, so that nothing halctl has loaded
// already answers for the loader.
#pragma once

// "3": the report's file descriptor in the re-executed process.
constexpr const char* kLoadProbeVariable = "QUORIN_HALCTL_LOAD_PROBE";
constexpr int kProbeReportFd = 3;
constexpr const char* kProbeName = "halctl-load-probe";  // its argv[0]

// How the probe ends: a load and a refusal each with a status of its own, which the records must
// agree with. Loaded code can write records and close their descriptor; only by ending the
// process itself can it forge this.
constexpr int kProbeLoadedStatus = 80;
constexpr int kProbeRefusedStatus = 81;
constexpr int kProbeNoVerdictStatus = 82;  // a forked copy that has the library loaded already

// The records of the report, one a line, each a letter and its text.
namespace probe_record {
constexpr char kStarted = 'S';        // a fresh process (re-executed)
constexpr char kForkedCopy = 'C';     // a forked copy of halctl: re-executing it failed
constexpr char kExecFailed = 'E';     // why: strerror's text
constexpr char kAlreadyLoaded = 'A';  // the copy has the library loaded already: no verdict
constexpr char kLoading = 'D';        // dlopen begins: what follows is loading
constexpr char kCrash = 'F';          // a fatal signal: 'L' in the loader, 'O' elsewhere, '?', then
                                      // the signal's number
constexpr char kLoaded = '+';         // dlopen returned the library
constexpr char kRefused = '-';        // dlopen refused it: dlerror()'s text
constexpr char kObject = 'O';         // after a load: an object the loader has, as it names it
constexpr char kDependencyFound = 'Y';  // after a refusal: NAME '\t' PATH as the loader found it
constexpr char kDependencyLost = 'N';   // NAME '\t' dlerror()'s text
constexpr char kWaitStatus = 'W';  // the loader's wait status, from the process that started it,
                                   // on a pipe of its own that the loader never holds
}  // namespace probe_record

// Loads `library` and reports on `report_fd`; after a refusal, loads each of `dependencies`
// (paths, or bare names for the loader's own search) alone. `forked_copy` when this is halctl's
// forked copy rather than a fresh process. Ends the process with _exit: no destructor, no exit
// handler of what was loaded runs.
[[noreturn]] void run_load_probe(int report_fd, const char* library, const char* const* dependencies,
                                 int dependency_count, bool forked_copy);
