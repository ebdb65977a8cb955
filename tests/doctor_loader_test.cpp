// SPDX-License-Identifier: Apache-2.0
// The doctor's loader check: the platform's loader decides in a fresh process of its own, whatever
// loading runs, and every process of the loading ends with the check; the search order is the
// loader's.
#include "doctor_loader.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "doctor_report.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kCases = LOADER_CASES_DIR;

LoadOutcome made(LoadOutcome::Kind kind, const std::string& message,
                 LoadOutcome::Crash crash = LoadOutcome::Crash::kNone) {
    LoadOutcome outcome;
    outcome.kind = kind;
    outcome.message = message;
    outcome.crash = crash;
    return outcome;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The pid a loader case's constructor left in `file`, once it is there (at most 20 s).
pid_t pid_in(const std::string& file) {
    for (int i = 0; i < 2000; ++i) {
        std::ifstream in(file);
        pid_t pid = 0;
        if (in >> pid && pid > 0) return pid;
        usleep(10000);
    }
    return 0;
}

// Whether the process is gone (or a zombie awaiting its reaper), waiting at most 10 s for it.
bool gone(pid_t pid) {
    for (int i = 0; i < 1000; ++i) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text;
        if (!std::getline(stat, text)) return true;
        const size_t close = text.rfind(')');
        if (close != std::string::npos && text.compare(close, 3, ") Z") == 0) return true;
        usleep(10000);
    }
    return false;
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
            {"libloader_needs_abort.so", LoadOutcome::Kind::kSignal,
             "signal 6 (Aborted) in code that loading ran"},
            {"libloader_needs_block.so", LoadOutcome::Kind::kTimedOut, "did not finish within"},
            {"libloader_kills_parent.so", LoadOutcome::Kind::kStarterEnded,
             "ended the process that started it with signal 9"},
            // The records loaded code writes, or loses, do not overrule how the process ended.
            {"libloader_forges_load.so", LoadOutcome::Kind::kSignal, "signal 6 (Aborted)"},
            {"libloader_forges_refusal.so", LoadOutcome::Kind::kExited,
             "status 0 before dlopen returned"},
            {"libloader_closes_fds.so", LoadOutcome::Kind::kReportLost,
             "ended as after a load, but its report of it was lost"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.library);
        const std::string library = c.library[0] == '/' ? c.library : kCases + "/" + c.library;
        // Only the blocking case meets the deadline: it is short there, generous elsewhere.
        const bool blocks = c.kind == LoadOutcome::Kind::kTimedOut;
        const LoadOutcome outcome = load_in_child(library, {}, blocks ? 1000 : 20000);
        EXPECT_EQ(c.kind, outcome.kind) << outcome.message;
        EXPECT_TRUE(contains(outcome.message, c.message)) << outcome.message;
    }
}

// halctl inside a `run` script has the library loaded already; a forked copy would be handed
// that one. Here the test process has it loaded, and its dependency is gone since.
TEST(DoctorLoader, AFreshProcessNotWhatThisOneHasLoaded) {
    TempDir dir("doctor_loader");
    ASSERT_FALSE(dir.path().empty());
    for (const char* file : {"libloader_needs_two.so", "parts/libloader_part_first.so",
                             "parts/libloader_part_second.so"}) {
        fs::copy_file(kCases + "/" + file, dir.path() + "/" + fs::path(file).filename().string());
    }
    const std::string library = dir.path() + "/libloader_needs_two.so";
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, handle) << dlerror();
    fs::remove(dir.path() + "/libloader_part_second.so");
    const LoadOutcome outcome = load_in_child(library);
    if (!outcome.fresh_process && outcome.kind == LoadOutcome::Kind::kNotRun) {
        GTEST_SKIP() << "this process cannot start itself again here: " << outcome.message;
    }
    EXPECT_TRUE(outcome.fresh_process);
    EXPECT_EQ(LoadOutcome::Kind::kRefused, outcome.kind);
    EXPECT_TRUE(contains(outcome.message, "libloader_part_second.so")) << outcome.message;
    dlclose(handle);
}

TEST(DoctorLoader, EachMissingDependencyFails) {
    const std::string library = kCases + "/libloader_needs_two.so";
    ElfNeeded needed;
    std::string error;
    ASSERT_TRUE(read_elf_needed(library, &needed, &error)) << error;
    // As the doctor searches: with this process's LD_LIBRARY_PATH (qemu-arm's, for the libc++
    // of a cross build).
    const LibrarySearch search = library_search(needed, kCases, getenv("LD_LIBRARY_PATH"));
    const LoadOutcome outcome = load_in_child(library, dependency_asks(needed, search));
    ASSERT_EQ(LoadOutcome::Kind::kRefused, outcome.kind) << outcome.message;
    // The two missing ones fail, in order; every other (the C++ runtime, and a sanitizer build's
    // runtimes) is found where the library's own load finds it (glibc's cache, its directories).
    std::string missing;
    for (const std::string& name : needed.libraries) {
        const DoctorCheck check = dependency_verdict(name, search, outcome);
        if (name.rfind("libloader_part_", 0) == 0) {
            missing += name + (check.verdict == Verdict::kPass ? " pass\n" : " FAIL\n");
            EXPECT_TRUE(contains(check.detail, "the library's load cannot find it")) << check.detail;
        } else {
            EXPECT_EQ(Verdict::kPass, check.verdict) << name << ": " << check.detail;
            EXPECT_TRUE(contains(check.detail, "/" + name +
                                                       " (on the library's search path; the "
                                                       "loader loads it alone)"))
                    << check.detail;
        }
    }
    EXPECT_EQ("libloader_part_first.so FAIL\nlibloader_part_second.so FAIL\n", missing);
}

// Asked of the loader by its bare name, a dependency would be looked for along this executable's
// run path too, which holds the stand-ins; the library's own load, with no run path, does not
// find them.
TEST(DoctorLoader, ADependencyOnlyHalctlsRunPathHoldsIsMissing) {
    TempDir dir("doctor_loader");
    ASSERT_FALSE(dir.path().empty());
    const std::string library = dir.path() + "/libloader_needs_standin.so";
    fs::copy_file(kCases + "/libloader_needs_standin.so", library);
    ElfNeeded needed;
    std::string error;
    ASSERT_TRUE(read_elf_needed(library, &needed, &error)) << error;
    const LibrarySearch search = library_search(needed, dir.path(), nullptr);
    const LoadOutcome outcome = load_in_child(library, dependency_asks(needed, search));
    ASSERT_EQ(LoadOutcome::Kind::kRefused, outcome.kind) << outcome.message;
    const DoctorCheck check = dependency_verdict("libbinder_ndk.so", search, outcome);
    EXPECT_EQ(Verdict::kFail, check.verdict) << check.detail;
    EXPECT_TRUE(contains(check.detail,
                         "the library's load cannot find it: not in the loader's "
                         "cache"))
            << check.detail;
}

TEST(DoctorLoader, TheLoadersOwnPathsAfterALoad) {
    const std::string library = kCases + "/libloader_rpath.so";
    const LoadOutcome outcome = load_in_child(library);
    ASSERT_EQ(LoadOutcome::Kind::kLoaded, outcome.kind) << outcome.message;
    LibrarySearch nowhere;
    nowhere.dirs = {"/nowhere"};
    const DoctorCheck dep = dependency_verdict("libloader_dep.so", nowhere, outcome);
    EXPECT_EQ(Verdict::kPass, dep.verdict);
    EXPECT_EQ(kCases + "/rpath/libloader_dep.so (where the loader loaded it)", dep.detail);
}

// bionic ignores DT_RPATH, and where its linker looks otherwise is its namespaces' to say.
TEST(DoctorLoader, BionicsSearchHasNoRpathAndNoGuessedDirectories) {
    ElfNeeded needed;
    std::string error;
    ASSERT_TRUE(read_elf_needed(kCases + "/libloader_rpath.so", &needed, &error)) << error;
    ASSERT_EQ(std::vector<std::string>{kCases + "/rpath"}, needed.rpath);
    EXPECT_EQ(std::vector<std::string>{"/env"},
              search_dirs(needed, kCases, "/env", LoaderModel::kBionic));
    const LibrarySearch bionic =
            library_search(needed, kCases, nullptr, kLdSoCache, LoaderModel::kBionic);
    EXPECT_TRUE(bionic.defaults.empty());
    // Not found by the search, the bare name is the loader's to answer.
    const auto asked = [](const std::vector<std::string>& asks, const std::string& what) {
        return std::find(asks.begin(), asks.end(), what) != asks.end();
    };
    EXPECT_TRUE(asked(dependency_asks(needed, bionic), "libloader_dep.so"));
    LoadOutcome refused = made(LoadOutcome::Kind::kRefused, "dlopen failed");
    refused.dependencies = {
            {"libloader_dep.so", false, "dlopen failed: library \"libloader_dep.so\" not found"}};
    const DoctorCheck check = dependency_verdict("libloader_dep.so", bionic, refused);
    EXPECT_EQ(Verdict::kFail, check.verdict);
    EXPECT_TRUE(contains(check.detail, "the device's linker looks is its namespaces' to say"))
            << check.detail;
    EXPECT_FALSE(contains(check.detail, "/rpath")) << check.detail;
    // glibc follows it, and asks the loader for the file it found.
    const LibrarySearch glibc = library_search(needed, kCases, getenv("LD_LIBRARY_PATH"),
                                               kLdSoCache, LoaderModel::kGlibc);
    EXPECT_EQ(kCases + "/rpath", glibc.dirs[0]);
    const std::vector<std::string> asks = dependency_asks(needed, glibc);
    EXPECT_EQ(needed.libraries.size(), asks.size());
    EXPECT_TRUE(asked(asks, kCases + "/rpath/libloader_dep.so"));
    for (const std::string& ask : asks) EXPECT_EQ('/', ask.at(0)) << ask;
}

TEST(DoctorLoader, WhatLoadingPrintsIsCaughtAndShownEscaped) {
    const LoadOutcome outcome = load_in_child(kCases + "/libloader_prints.so");
    ASSERT_EQ(LoadOutcome::Kind::kLoaded, outcome.kind) << outcome.message;
    EXPECT_TRUE(contains(outcome.output, "hello\x1b[2J\x07\n")) << outcome.output;
    EXPECT_TRUE(contains(outcome.output, "from the constructor\n")) << outcome.output;
    const std::string line = check_text(load_verdict("libquorin_hal.so", outcome));
    EXPECT_TRUE(contains(line, "loading printed: hello\\x1b[2J\\x07")) << line;
    EXPECT_FALSE(contains(line, "\x1b")) << line;
}

// A process a constructor starts neither holds halctl's standard error nor outlives the check.
TEST(DoctorLoader, WhatAConstructorStartsEndsWithTheCheck) {
    TempDir dir("doctor_loader");
    ASSERT_FALSE(dir.path().empty());
    const std::string pid_file = dir.path() + "/pid";
    int err[2];
    ASSERT_EQ(0, pipe2(err, O_CLOEXEC));
    const pid_t checker = fork();
    ASSERT_GE(checker, 0);
    if (checker == 0) {
        close(err[0]);
        dup2(err[1], STDERR_FILENO);
        dup2(err[1], STDOUT_FILENO);
        setenv("LOADER_CASE_PID_FILE", pid_file.c_str(), 1);
        const LoadOutcome outcome = load_in_child(kCases + "/libloader_forks.so");
        _exit(outcome.kind == LoadOutcome::Kind::kLoaded ? 0 : 1);
    }
    close(err[1]);
    int status = 0;
    ASSERT_EQ(checker, waitpid(checker, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // The end of the checker's standard error, not a process of the loading's holding it.
    pollfd ready{err[0], POLLIN, 0};
    char byte = 0;
    ASSERT_EQ(1, poll(&ready, 1, 20000));
    EXPECT_EQ(0, read(err[0], &byte, 1));
    close(err[0]);
    const pid_t lingering = pid_in(pid_file);
    ASSERT_GT(lingering, 0);
    EXPECT_TRUE(gone(lingering));
}

// halctl ended by SIGTERM (or SIGINT, SIGHUP) while loading blocks: the loader goes with it.
TEST(DoctorLoader, InterruptingTheCheckEndsTheLoader) {
    TempDir dir("doctor_loader");
    ASSERT_FALSE(dir.path().empty());
    const std::string pid_file = dir.path() + "/pid";
    for (const int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal_number);
        fs::remove(pid_file);
        const pid_t checker = fork();
        ASSERT_GE(checker, 0);
        if (checker == 0) {
            setenv("LOADER_CASE_PID_FILE", pid_file.c_str(), 1);
            load_in_child(kCases + "/libloader_needs_block.so", {}, 60000);
            _exit(0);
        }
        const pid_t loader = pid_in(pid_file);
        ASSERT_GT(loader, 0);
        kill(checker, signal_number);
        int status = 0;
        ASSERT_EQ(checker, waitpid(checker, &status, 0));
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number);
        EXPECT_TRUE(gone(loader));
    }
}

// The loader's own crash on a file it cannot read is told apart from a constructor's: a copy of
// a library whose DT_STRTAB points nowhere.
TEST(DoctorLoader, TheLoadersOwnCrashIsNotAConstructors) {
    if (sizeof(void*) != 8) GTEST_SKIP() << "the file is patched as a 64-bit object";
    TempDir dir("doctor_loader");
    ASSERT_FALSE(dir.path().empty());
    const std::string copy = dir.path() + "/libbroken.so";
    fs::copy_file(kCases + "/rpath/libloader_dep.so", copy);
    std::fstream file(copy, std::ios::in | std::ios::out | std::ios::binary);
    Elf64_Ehdr header{};
    file.read(reinterpret_cast<char*>(&header), sizeof(header));
    bool patched = false;
    for (int i = 0; i < header.e_phnum && !patched; ++i) {
        Elf64_Phdr segment{};
        file.seekg(static_cast<std::streamoff>(header.e_phoff + i * sizeof(segment)));
        file.read(reinterpret_cast<char*>(&segment), sizeof(segment));
        if (segment.p_type != PT_DYNAMIC) continue;
        for (size_t at = 0; at + sizeof(Elf64_Dyn) <= segment.p_filesz; at += sizeof(Elf64_Dyn)) {
            Elf64_Dyn entry{};
            file.seekg(static_cast<std::streamoff>(segment.p_offset + at));
            file.read(reinterpret_cast<char*>(&entry), sizeof(entry));
            if (entry.d_tag != DT_STRTAB) continue;
            entry.d_un.d_ptr = 0x7ff000000000;
            file.seekp(static_cast<std::streamoff>(segment.p_offset + at));
            file.write(reinterpret_cast<const char*>(&entry), sizeof(entry));
            patched = true;
            break;
        }
    }
    file.close();
    ASSERT_TRUE(patched);
    const LoadOutcome outcome = load_in_child(copy);
    ASSERT_EQ(LoadOutcome::Kind::kSignal, outcome.kind) << outcome.message;
    EXPECT_EQ(LoadOutcome::Crash::kLoader, outcome.crash) << outcome.message;
    EXPECT_TRUE(contains(outcome.message, "in the dynamic loader itself")) << outcome.message;
    const DoctorCheck check = load_verdict("libquorin_hal.so", outcome);
    EXPECT_TRUE(contains(check.hint, "the loader cannot read the file")) << check.hint;
    EXPECT_FALSE(contains(check.hint, "constructor")) << check.hint;
}

TEST(DoctorLoader, VerdictsNameWhatTheLoaderSaid) {
    const struct {
        LoadOutcome outcome;
        Verdict verdict;
        const char* hint;
    } cases[] = {
            {made(LoadOutcome::Kind::kLoaded, ""), Verdict::kPass, ""},
            {made(LoadOutcome::Kind::kRefused, "x.so: undefined symbol: f"), Verdict::kFail,
             "lacks a symbol"},
            {made(LoadOutcome::Kind::kRefused, "x.so: wrong ELF class: ELFCLASS32"), Verdict::kFail,
             "another architecture"},
            {made(LoadOutcome::Kind::kRefused,
                  "liblog.so: cannot open shared object file: No such file or directory"),
             Verdict::kFail, "android-liblog-dev"},
            {made(LoadOutcome::Kind::kRefused,
                  "dlopen failed: library \"libAmlAudioOutPort.so\" not found"),
             Verdict::kFail, "PRODUCT_PACKAGES"},
            {made(LoadOutcome::Kind::kSignal, "loading was ended by signal 11",
                  LoadOutcome::Crash::kLoadedCode),
             Verdict::kFail, "load-time constructor"},
            {made(LoadOutcome::Kind::kSignal, "loading was ended by signal 11",
                  LoadOutcome::Crash::kLoader),
             Verdict::kFail, "damaged"},
            {made(LoadOutcome::Kind::kTimedOut, "did not finish"), Verdict::kFail,
             "load-time constructor"},
            {made(LoadOutcome::Kind::kStarterEnded, "ended the process that started it"),
             Verdict::kFail, "signals"},
            {made(LoadOutcome::Kind::kReportLost, "its report of it was lost"), Verdict::kFail,
             "closes or reuses descriptors"},
            {made(LoadOutcome::Kind::kNotRun, "no fresh process"), Verdict::kSkip, ""},
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
    EXPECT_EQ((Dirs{"/o/r", "/r2", "/env", "."}),
              search_dirs(rpath_only, "/o", "/env:", LoaderModel::kGlibc));
    // Beside a DT_RUNPATH the DT_RPATH is ignored, and the run path comes after the environment.
    ElfNeeded both;
    both.rpath = {"/ignored"};
    both.runpath = {"${ORIGIN}/../lib"};
    EXPECT_EQ((Dirs{"/env", "/o/../lib"}), search_dirs(both, "/o", "/env", LoaderModel::kGlibc));
    EXPECT_EQ((Dirs{"/env", "/o/../lib"}), search_dirs(both, "/o", "/env", LoaderModel::kBionic));
    EXPECT_TRUE(search_dirs(ElfNeeded{}, "/o", nullptr, LoaderModel::kGlibc).empty());
}

TEST(DoctorLoader, GlibcsDefaultDirectoriesByMachine) {
    using Dirs = std::vector<std::string>;
    const auto object = [](bool is_64bit, uint16_t machine, uint32_t flags) {
        ElfNeeded needed;
        needed.is_64bit = is_64bit;
        needed.machine = machine;
        needed.flags = flags;
        return needed;
    };
    EXPECT_EQ((Dirs{"/lib/x86_64-linux-gnu", "/usr/lib/x86_64-linux-gnu", "/lib64", "/usr/lib64",
                    "/lib", "/usr/lib"}),
              default_dirs(object(true, EM_X86_64, 0), LoaderModel::kGlibc));
    EXPECT_EQ((Dirs{"/lib/arm-linux-gnueabihf", "/usr/lib/arm-linux-gnueabihf", "/lib", "/usr/lib"}),
              default_dirs(object(false, EM_ARM, 0x05000400), LoaderModel::kGlibc));
    EXPECT_EQ((Dirs{"/lib/arm-linux-gnueabi", "/usr/lib/arm-linux-gnueabi", "/lib", "/usr/lib"}),
              default_dirs(object(false, EM_ARM, 0x05000200), LoaderModel::kGlibc));
    EXPECT_EQ((Dirs{"/lib", "/usr/lib"}),
              default_dirs(object(false, EM_MIPS, 0), LoaderModel::kGlibc));
    EXPECT_TRUE(default_dirs(object(false, EM_ARM, 0x05000400), LoaderModel::kBionic).empty());
}

// A file of another class or machine is passed over by glibc's loader, which goes on looking;
// bionic's stops at it.
TEST(DoctorLoader, GlibcsSearchPassesOverAnotherMachinesFile) {
    TempDir dir("doctor_loader");
    ASSERT_FALSE(dir.path().empty());
    fs::create_directories(dir.path() + "/foreign");
    fs::create_directories(dir.path() + "/own");
    ElfNeeded own;
    std::string error;
    ASSERT_TRUE(read_elf_needed(kCases + "/rpath/libloader_dep.so", &own, &error)) << error;
    // A 32-bit object of a machine other than this one.
    Elf32_Ehdr foreign{};
    memcpy(foreign.e_ident, ELFMAG, SELFMAG);
    foreign.e_ident[EI_CLASS] = ELFCLASS32;
    foreign.e_ident[EI_DATA] = ELFDATA2LSB;
    foreign.e_ident[EI_VERSION] = EV_CURRENT;
    foreign.e_type = ET_DYN;
    foreign.e_machine = own.machine == EM_ARM ? EM_386 : EM_ARM;
    foreign.e_phentsize = sizeof(Elf32_Phdr);
    std::ofstream(dir.path() + "/foreign/libloader_dep.so", std::ios::binary)
            .write(reinterpret_cast<const char*>(&foreign), sizeof(foreign));
    fs::copy_file(kCases + "/rpath/libloader_dep.so", dir.path() + "/own/libloader_dep.so");
    for (const LoaderModel model : {LoaderModel::kGlibc, LoaderModel::kBionic}) {
        LibrarySearch search = library_search(own, "/o", nullptr, "/nonexistent", model);
        search.dirs = {dir.path() + "/foreign", dir.path() + "/own"};
        EXPECT_EQ(dir.path() + (model == LoaderModel::kGlibc ? "/own" : "/foreign") +
                          "/libloader_dep.so",
                  search.find("libloader_dep.so"));
    }
}

TEST(DoctorLoader, DependencyLines) {
    const std::string dep = kCases + "/rpath/libloader_dep.so";
    LibrarySearch glibc;
    glibc.model = LoaderModel::kGlibc;
    glibc.dirs = {"/nonexistent", kCases + "/rpath"};
    glibc.cache.file = "/etc/ld.so.cache";
    glibc.cache.error = "cannot read it: No such file or directory";
    glibc.defaults = {"/nodefault"};
    ElfNeeded own;
    std::string error;
    ASSERT_TRUE(read_elf_needed(dep, &own, &error)) << error;
    glibc.is_64bit = own.is_64bit;
    glibc.machine = own.machine;
    LibrarySearch bionic = glibc;
    bionic.model = LoaderModel::kBionic;
    bionic.defaults.clear();
    const auto answered = [](std::vector<DependencyAnswer> answers) {
        LoadOutcome refused = made(LoadOutcome::Kind::kRefused, "refused");
        refused.dependencies = std::move(answers);
        return refused;
    };
    const struct {
        const char* name;
        const LibrarySearch* search;
        LoadOutcome load;
        Verdict verdict;
        std::string detail;
    } cases[] = {
            {"libloader_dep.so", &glibc, answered({}), Verdict::kPass,
             dep + " (on the library's search path; the library did not load)"},
            {"libloader_dep.so", &glibc, answered({{dep, true, dep}}), Verdict::kPass,
             dep + " (on the library's search path; the loader loads it alone)"},
            {"libloader_dep.so", &glibc,
             answered({{dep, false, "libinner.so: cannot open shared object file"}}),
             Verdict::kFail, dep + " but cannot load it: libinner.so: cannot open shared object"},
            // glibc: what its own search cannot find is missing, the loader unasked.
            {"libmissing.so", &glibc, answered({{"libmissing.so", true, "/elsewhere"}}),
             Verdict::kFail,
             "the library's load cannot find it: not in /nonexistent:" + kCases +
                     "/rpath, the loader's cache (/etc/ld.so.cache: cannot read it: No such file "
                     "or directory), /nodefault"},
            // bionic: past its run path the loader's namespaces answer.
            {"libc.so", &bionic, answered({{"libc.so", true, "/apex/libc.so"}}), Verdict::kPass,
             "/apex/libc.so (where the loader finds it alone)"},
            {"libbinder_ndk.so", &bionic,
             answered({{"libbinder_ndk.so", true, "/build/standins/libbinder_ndk.so", true}}),
             Verdict::kFail, "only halctl's own run path holds one (/build/standins/"},
            {"libmissing.so", &bionic,
             answered({{"libmissing.so", false, "library \"libmissing.so\" not found"}}),
             Verdict::kFail, "the loader cannot find it (library \"libmissing.so\" not found)"},
            {"libother.so", &bionic, made(LoadOutcome::Kind::kTimedOut, "did not finish"),
             Verdict::kSkip, "the loader was not asked, the loading did not finish"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DoctorCheck check = dependency_verdict(c.name, *c.search, c.load);
        EXPECT_EQ(c.verdict, check.verdict) << check.detail;
        EXPECT_EQ("found", check.check);
        EXPECT_TRUE(contains(check.detail, c.detail)) << check.detail;
    }
}

}  // namespace
