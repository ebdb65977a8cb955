// SPDX-License-Identifier: Apache-2.0
// The doctor's loader check: the platform's loader decides in a child process, whatever loading
// runs; the search order is the loader's.
#include "doctor_loader.h"

#include <gtest/gtest.h>

namespace {

const std::string kCases = LOADER_CASES_DIR;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(DoctorLoader, TheChildsFateIsTheVerdict) {
    const struct {
        const char* library;
        LoadOutcome::Kind kind;
        const char* message;
    } cases[] = {
            {QUORIN_HAL_PATH, LoadOutcome::Kind::kLoaded, ""},
            {"/nonexistent/lib.so", LoadOutcome::Kind::kRefused, "No such file or directory"},
            {"libloader_undefined.so", LoadOutcome::Kind::kRefused,
             "undefined symbol: loader_case_missing_function"},
            {"libloader_needs_abort.so", LoadOutcome::Kind::kSignal, "signal 6"},
            {"libloader_needs_block.so", LoadOutcome::Kind::kTimedOut, "did not finish within"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.library);
        const std::string library = c.library[0] == '/' ? c.library : kCases + "/" + c.library;
        const LoadOutcome outcome = load_in_child(library, 1000);
        EXPECT_EQ(c.kind, outcome.kind) << outcome.message;
        EXPECT_TRUE(contains(outcome.message, c.message)) << outcome.message;
    }
}

TEST(DoctorLoader, VerdictsNameWhatTheLoaderSaid) {
    const struct {
        LoadOutcome outcome;
        Verdict verdict;
        const char* hint;
    } cases[] = {
            {{LoadOutcome::Kind::kLoaded, ""}, Verdict::kPass, ""},
            {{LoadOutcome::Kind::kRefused, "x.so: undefined symbol: f"},
             Verdict::kFail,
             "lacks a symbol"},
            {{LoadOutcome::Kind::kRefused, "x.so: wrong ELF class: ELFCLASS32"},
             Verdict::kFail,
             "another architecture"},
            {{LoadOutcome::Kind::kRefused,
              "liblog.so: cannot open shared object file: No such file or directory"},
             Verdict::kFail,
             "android-liblog-dev"},
            {{LoadOutcome::Kind::kSignal, "loading was ended by signal 11"},
             Verdict::kFail,
             "load-time constructor"},
            {{LoadOutcome::Kind::kTimedOut, "did not finish"},
             Verdict::kFail,
             "load-time constructor"},
    };
    for (const auto& c : cases) {
        const DoctorCheck check = load_verdict("libquorin_hal.so", c.outcome);
        EXPECT_EQ(c.verdict, check.verdict) << c.outcome.message;
        EXPECT_EQ("loads", check.check);
        EXPECT_TRUE(contains(check.hint, c.hint)) << check.hint;
        if (c.verdict == Verdict::kFail) {
            EXPECT_EQ(c.outcome.message, check.detail);
        }
    }
}

TEST(DoctorLoader, SearchesInTheLoadersOrder) {
    using Dirs = std::vector<std::string>;
    ElfNeeded rpath_only;
    rpath_only.rpath = {"$ORIGIN/r", "/r2"};
    EXPECT_EQ((Dirs{"/o/r", "/r2", "/env", ".", "/vendor/lib", "/system/lib", "/lib", "/usr/lib"}),
              search_dirs(rpath_only, "/o", "/env:"));
    // Beside a DT_RUNPATH the DT_RPATH is ignored, and the run path comes after the environment.
    ElfNeeded both;
    both.is_64bit = true;
    both.rpath = {"/ignored"};
    both.runpath = {"${ORIGIN}/../lib"};
    EXPECT_EQ((Dirs{"/env", "/o/../lib", "/vendor/lib64", "/system/lib64", "/lib64", "/usr/lib64"}),
              search_dirs(both, "/o", "/env"));
    EXPECT_EQ((Dirs{"/vendor/lib", "/system/lib", "/lib", "/usr/lib"}),
              search_dirs(ElfNeeded{}, "/o", nullptr));
}

TEST(DoctorLoader, DependencyLinesFailOnlyWhereTheLoaderNamedThem) {
    const std::vector<std::string> dirs = {"/nonexistent", kCases + "/rpath"};
    const DoctorCheck found =
            dependency_verdict("libloader_dep.so", dirs, {LoadOutcome::Kind::kLoaded, ""});
    EXPECT_EQ(Verdict::kPass, found.verdict);
    EXPECT_EQ(kCases + "/rpath/libloader_dep.so", found.detail);
    const LoadOutcome refused{LoadOutcome::Kind::kRefused,
                              "libmissing.so: cannot open shared object file"};
    const DoctorCheck missing = dependency_verdict("libmissing.so", dirs, refused);
    EXPECT_EQ(Verdict::kFail, missing.verdict);
    EXPECT_EQ("not found in /nonexistent:" + kCases + "/rpath", missing.detail);
    EXPECT_EQ(Verdict::kPass, dependency_verdict("libc.so.6", dirs, refused).verdict);
}

}  // namespace
