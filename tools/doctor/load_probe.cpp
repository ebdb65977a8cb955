// SPDX-License-Identifier: Apache-2.0
#include "load_probe.h"

#include <dlfcn.h>
#include <link.h>
#include <signal.h>
#include <sys/auxv.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "write_all.h"

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP, SIGSYS};
constexpr int kProbeMisused = 125;

int report_to = -1;

// The loader's executable segments: a fatal signal there is the loader's own, not loaded code's.
struct CodeRange {
    uintptr_t start;
    uintptr_t end;
};
constexpr size_t kMostRanges = 8;
CodeRange loader_code[kMostRanges];
size_t loader_code_count = 0;

// Room to handle a fault that overflowed the stack.
constexpr size_t kAltStackSize = size_t{64} * 1024;
alignas(16) char alt_stack[kAltStackSize];

// One record: its letter and its text on one line.
void record(char kind, const std::string& text = "") {
    std::string line(1, kind);
    line += text;
    for (char& c : line) {
        if (c == '\n') c = ' ';
    }
    line += '\n';
    (void)write_all(report_to, line.data(), line.size());
}

uintptr_t faulting_address(const void* context) {
    const auto* state = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
    return static_cast<uintptr_t>(state->uc_mcontext.gregs[REG_RIP]);
#elif defined(__i386__)
    return static_cast<uintptr_t>(state->uc_mcontext.gregs[REG_EIP]);
#elif defined(__arm__)
    return static_cast<uintptr_t>(state->uc_mcontext.arm_pc);
#elif defined(__aarch64__)
    return static_cast<uintptr_t>(state->uc_mcontext.pc);
#else
    (void)state;
    return 0;
#endif
}

// Async-signal-safe: a fixed buffer and write(). The signal is raised again with its default
// action (SA_RESETHAND), so the process still ends by it.
void on_fatal_signal(int number, siginfo_t* /*info*/, void* context) {
    const uintptr_t at = faulting_address(context);
    char where = '?';
    if (at != 0 && loader_code_count > 0) {
        where = 'O';
        for (size_t i = 0; i < loader_code_count; ++i) {
            if (at >= loader_code[i].start && at < loader_code[i].end) where = 'L';
        }
    }
    char line[8] = {probe_record::kCrash, where};
    size_t length = 2;
    if (number >= 10) line[length++] = static_cast<char>('0' + number / 10);
    line[length++] = static_cast<char>('0' + number % 10);
    line[length++] = '\n';
    (void)write_all(report_to, line, length);
    raise(number);
}

int note_loader(dl_phdr_info* info, size_t /*size*/, void* data) {
    const uintptr_t base = *static_cast<const uintptr_t*>(data);
    if (info->dlpi_addr != base) return 0;
    for (size_t i = 0; i < info->dlpi_phnum && loader_code_count < kMostRanges; ++i) {
        const auto& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD || (segment.p_flags & PF_X) == 0) continue;
        const uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        loader_code[loader_code_count++] = {start, start + segment.p_memsz};
    }
    return 1;
}

// The dynamic loader is the program interpreter, mapped at AT_BASE.
void find_loader_code() {
    uintptr_t base = getauxval(AT_BASE);
    if (base != 0) dl_iterate_phdr(note_loader, &base);
}

void watch_fatal_signals() {
    stack_t stack{};
    stack.ss_sp = alt_stack;
    stack.ss_size = sizeof(alt_stack);
    sigaltstack(&stack, nullptr);
    struct sigaction action {};
    action.sa_sigaction = on_fatal_signal;
    action.sa_flags = SA_SIGINFO | SA_RESETHAND | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int number : kFatalSignals) sigaction(number, &action, nullptr);
}

int note_object(dl_phdr_info* info, size_t /*size*/, void* data) {
    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
        static_cast<std::vector<std::string>*>(data)->emplace_back(info->dlpi_name);
    }
    return 0;
}

std::vector<std::string> loaded_objects() {
    std::vector<std::string> objects;
    dl_iterate_phdr(note_object, &objects);
    return objects;
}

// Where the loader took `name` from: the loaded object of that file name.
std::string loaded_path(const std::string& asked) {
    const std::string name = asked.substr(asked.rfind('/') + 1);
    for (const std::string& object : loaded_objects()) {
        const size_t slash = object.rfind('/');
        if (object.compare(slash == std::string::npos ? 0 : slash + 1, std::string::npos, name) ==
            0) {
            return object;
        }
    }
    return "";
}

std::string loader_error() {
    const char* reason = dlerror();
    return reason != nullptr ? reason : "dlopen failed";
}

// Before main: a process started as the probe is one and nothing else.
[[gnu::constructor]] void take_over_as_probe(int argc, char** argv, char** /*envp*/) {
    const char* report = getenv(kLoadProbeVariable);  // NOLINT(concurrency-mt-unsafe)
    if (report == nullptr) return;
    // Not for what loading starts.
    unsetenv(kLoadProbeVariable);  // NOLINT(concurrency-mt-unsafe)
    if (std::strcmp(report, "3") != 0 || argc < 2) _exit(kProbeMisused);
    run_load_probe(kProbeReportFd, argv[1], argv + 2, argc - 2, false);
}

}  // namespace

void run_load_probe(int report_fd, const char* library, const char* const* dependencies,
                    int dependency_count, bool forked_copy) {
    report_to = report_fd;
    record(forked_copy ? probe_record::kForkedCopy : probe_record::kStarted);
    // A copy of halctl that has it loaded would only be handed the loaded one.
    if (forked_copy && dlopen(library, RTLD_NOW | RTLD_NOLOAD) != nullptr) {
        record(probe_record::kAlreadyLoaded);
        _exit(kProbeNoVerdictStatus);
    }
    find_loader_code();
    watch_fatal_signals();
    record(probe_record::kLoading);
    dlerror();
    if (dlopen(library, RTLD_NOW | RTLD_LOCAL) != nullptr) {
        record(probe_record::kLoaded);
        for (const std::string& object : loaded_objects()) record(probe_record::kObject, object);
        _exit(kProbeLoadedStatus);
    }
    record(probe_record::kRefused, loader_error());
    // The loader stops at the first library it cannot load: each is asked for alone.
    for (int i = 0; i < dependency_count; ++i) {
        const std::string name = dependencies[i];
        dlerror();
        if (dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL) != nullptr) {
            record(probe_record::kDependencyFound, name + "\t" + loaded_path(name));
        } else {
            record(probe_record::kDependencyLost, name + "\t" + loader_error());
        }
    }
    _exit(kProbeRefusedStatus);
}
