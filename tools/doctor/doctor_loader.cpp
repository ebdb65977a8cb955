// SPDX-License-Identifier: Apache-2.0
#include "doctor_loader.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "doctor_verdicts.h"

namespace {

constexpr size_t kMostMessage = 4096;
constexpr int kPollMs = 20;

long long now_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// The child: its standard output is not the report's, so that what a constructor prints cannot
// enter it; the verdict goes back through the pipe, cut to the bound the parent reads.
[[noreturn]] void load_and_report(const std::string& library, int out) {
    const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
    }
    dlerror();
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    std::string message = "+";
    if (handle == nullptr) {
        const char* reason = dlerror();
        message = std::string("-") + (reason != nullptr ? reason : "dlopen failed");
    }
    if (message.size() > kMostMessage) message.resize(kMostMessage);
    for (size_t done = 0; done < message.size();) {
        const ssize_t n = write(out, message.data() + done, message.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    // No exit handlers, no unloading: nothing more of the library runs.
    _exit(handle != nullptr ? 0 : 1);
}

// One read of what the child says, kept within the bound; false once the pipe has nothing more.
bool read_some(int in, std::string* message) {
    char buffer[512];
    const ssize_t got = read(in, buffer, sizeof(buffer));
    if (got < 0 && errno == EINTR) return true;
    if (got <= 0) return false;
    if (message->size() < kMostMessage) {
        message->append(buffer, std::min(static_cast<size_t>(got), kMostMessage - message->size()));
    }
    return true;
}

bool readable(int in, int timeout_ms) {
    pollfd ready{in, POLLIN, 0};
    return poll(&ready, 1, timeout_ms) > 0;
}

// Reads what the child says and reaps it, until `deadline`; false when it is still running. A
// process the library started may hold the pipe open after the child is gone: what is there then
// is read, nothing waited for.
bool await_child(pid_t child, int in, long long deadline, std::string* message, int* status) {
    bool open = true;
    while (true) {
        const long long left = deadline - now_ms();
        if (left <= 0) return false;
        const int slice = static_cast<int>(std::min<long long>(left, kPollMs));
        if (open && readable(in, slice)) {
            open = read_some(in, message);
        } else if (!open) {
            const timespec pause{0, kPollMs * 1000000L};
            nanosleep(&pause, nullptr);
        }
        const pid_t done = waitpid(child, status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR)) break;
    }
    while (open && readable(in, 0)) open = read_some(in, message);
    return true;
}

// Reaps a killed child, waiting at most until `deadline`.
bool reap_until(pid_t child, long long deadline, int* status) {
    while (true) {
        const pid_t done = waitpid(child, status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR)) return true;
        if (now_ms() >= deadline) return false;
        const timespec pause{0, kPollMs * 1000000L};
        nanosleep(&pause, nullptr);
    }
}

std::string signal_text(int number) {
    const char* name = strsignal(number);
    return "signal " + std::to_string(number) +
           (name != nullptr ? std::string(" (") + name + ")" : "");
}

}  // namespace

LoadOutcome load_in_child(const std::string& library, int timeout_ms) {
    LoadOutcome outcome;
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) {
        outcome.message = std::string("cannot make a pipe: ") + strerror(errno);
        return outcome;
    }
    // What is buffered now is printed once, by this process.
    fflush(stdout);
    fflush(stderr);
    const pid_t child = fork();
    if (child < 0) {
        outcome.message = std::string("cannot fork: ") + strerror(errno);
        close(channel[0]);
        close(channel[1]);
        return outcome;
    }
    if (child == 0) {
        close(channel[0]);
        load_and_report(library, channel[1]);
    }
    close(channel[1]);
    const long long deadline = now_ms() + timeout_ms;
    std::string message;
    int status = 0;
    const bool finished = await_child(child, channel[0], deadline, &message, &status);
    close(channel[0]);
    if (!finished) {
        kill(child, SIGKILL);
        // A process killed in the kernel's uninterruptible sleep goes when that sleep ends.
        const bool reaped = reap_until(child, now_ms() + 1000, &status);
        outcome.kind = LoadOutcome::Kind::kTimedOut;
        outcome.message = "loading did not finish within " + std::to_string(timeout_ms / 1000) +
                          " s and was killed" + (reaped ? "" : " (not yet gone)");
        return outcome;
    }
    if (WIFSIGNALED(status)) {
        outcome.kind = LoadOutcome::Kind::kSignal;
        outcome.message = "loading was ended by " + signal_text(WTERMSIG(status));
    } else if (!message.empty() && message[0] == '+') {
        outcome.kind = LoadOutcome::Kind::kLoaded;
    } else if (!message.empty() && message[0] == '-') {
        outcome.kind = LoadOutcome::Kind::kRefused;
        outcome.message = message.substr(1);
    } else {
        outcome.kind = LoadOutcome::Kind::kExited;
        outcome.message = "loading ended the process with status " +
                          std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return outcome;
}

std::vector<std::string> search_dirs(const ElfNeeded& from, const std::string& origin,
                                     const char* library_path) {
    std::vector<std::string> dirs;
    const auto add = [&](const std::vector<std::string>& list) {
        for (std::string dir : list) {
            for (const char* token : {"${ORIGIN}", "$ORIGIN"}) {
                for (size_t at = dir.find(token); at != std::string::npos; at = dir.find(token)) {
                    dir.replace(at, strlen(token), origin);
                }
            }
            dirs.push_back(std::move(dir));
        }
    };
    if (from.runpath.empty()) add(from.rpath);
    // An empty entry, trailing ones included, is the current directory.
    if (library_path != nullptr && library_path[0] != '\0') {
        const std::string entries = library_path;
        for (size_t start = 0;;) {
            const size_t end = entries.find(':', start);
            const std::string dir = entries.substr(start, end - start);
            dirs.push_back(dir.empty() ? "." : dir);
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    add(from.runpath);
    if (from.is_64bit) {
        for (const char* dir : {"/vendor/lib64", "/system/lib64", "/lib64", "/usr/lib64"}) {
            dirs.emplace_back(dir);
        }
    } else {
        for (const char* dir : {"/vendor/lib", "/system/lib", "/lib", "/usr/lib"}) {
            dirs.emplace_back(dir);
        }
    }
    return dirs;
}

std::string find_in(const std::vector<std::string>& dirs, const std::string& name) {
    for (const std::string& dir : dirs) {
        std::string candidate = dir;
        candidate += "/";
        candidate += name;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return candidate;
    }
    return "";
}

DoctorCheck load_verdict(const std::string& subject, const LoadOutcome& outcome) {
    DoctorCheck check{subject, "loads", Verdict::kFail, outcome.message, ""};
    const std::string& said = outcome.message;
    switch (outcome.kind) {
        case LoadOutcome::Kind::kLoaded:
            check.verdict = Verdict::kPass;
            check.detail = "the loader loaded it and every library it needs (RTLD_NOW)";
            return check;
        case LoadOutcome::Kind::kSignal:
        case LoadOutcome::Kind::kExited:
        case LoadOutcome::Kind::kTimedOut:
            check.hint =
                    "a load-time constructor of the library or of a library it needs "
                    "crashed, exited or blocks: load it under a debugger (gdb --args "
                    "halctl led version) to see which";
            return check;
        case LoadOutcome::Kind::kRefused:
        case LoadOutcome::Kind::kNotRun:
            break;
    }
    if (said.find("undefined symbol") != std::string::npos) {
        check.hint =
                "a library it needs lacks a symbol it was built against: rebuild it against "
                "the device's platform libraries";
    } else if (said.find("ELF class") != std::string::npos ||
               said.find("wrong ELF") != std::string::npos ||
               said.find("machine") != std::string::npos) {
        check.hint =
                "built for another architecture: build it with the device's preset "
                "(armhf for the 32-bit ARM device)";
    } else if (said.find("cannot open shared object file") != std::string::npos ||
               said.find("not found") != std::string::npos) {
        const std::string name = said.substr(0, said.find(':'));
        check.hint = needed_library_verdict(name.empty() ? subject : name, said).hint;
    } else {
        check.hint = "the file is not a loadable library: rebuild or reinstall it";
    }
    return check;
}

DoctorCheck dependency_verdict(const std::string& name, const std::vector<std::string>& dirs,
                               const LoadOutcome& load) {
    const std::string found = name.find('/') != std::string::npos ? name : find_in(dirs, name);
    if (!found.empty()) return {name, "found", Verdict::kPass, found, ""};
    if (load.kind != LoadOutcome::Kind::kRefused || load.message.find(name) == std::string::npos) {
        return {name, "found", Verdict::kPass,
                "outside the search path: the loader had it already or from its cache", ""};
    }
    std::string searched;
    for (const std::string& dir : dirs) searched += (searched.empty() ? "" : ":") + dir;
    DoctorCheck check = needed_library_verdict(name, "not found in " + searched);
    check.check = "found";
    return check;
}
