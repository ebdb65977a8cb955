// SPDX-License-Identifier: Apache-2.0
#include "doctor_loader.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "load_probe.h"
#include "write_all.h"

extern char** environ;  // NOLINT(readability-redundant-declaration): not in every unistd.h

namespace {

namespace fs = std::filesystem;

constexpr size_t kMostReport = size_t{64} * 1024;
constexpr int kPollMs = 20;
constexpr int kMostDescriptor = 4096;
constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

long long now_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::string error_text(int error) {
    return strerror(error);  // NOLINT(concurrency-mt-unsafe): single-threaded tool
}

std::string signal_text(int number) {
    const char* name = strsignal(number);  // NOLINT(concurrency-mt-unsafe)
    return "signal " + std::to_string(number) +
           (name != nullptr ? std::string(" (") + name + ")" : "");
}

// The loading's process group, killed whole when halctl is interrupted during the check.
volatile sig_atomic_t loading_group = 0;
struct sigaction earlier_actions[std::size(kInterrupts)];

void on_interrupt(int number) {
    if (loading_group > 0) kill(-loading_group, SIGKILL);
    for (size_t i = 0; i < std::size(kInterrupts); ++i) {
        if (kInterrupts[i] == number) sigaction(number, &earlier_actions[i], nullptr);
    }
    raise(number);
}

// Holds the interrupt handlers for the length of one check.
class InterruptGuard {
  public:
    explicit InterruptGuard(pid_t group) {
        loading_group = group;
        struct sigaction action {};
        action.sa_handler = on_interrupt;
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < std::size(kInterrupts); ++i) {
            sigaction(kInterrupts[i], &action, &earlier_actions[i]);
        }
    }
    ~InterruptGuard() {
        for (size_t i = 0; i < std::size(kInterrupts); ++i) {
            sigaction(kInterrupts[i], &earlier_actions[i], nullptr);
        }
        loading_group = 0;
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};

std::string own_executable() {
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    return length > 0 ? std::string(self, static_cast<size_t>(length)) : "/proc/self/exe";
}

// Everything the processes of the loading need, made before fork: they allocate nothing.
struct Spawn {
    std::string executable;
    std::vector<std::string> arguments;
    std::vector<std::string> environment;
    std::vector<char*> argv;
    std::vector<char*> envp;
    int report = -1;  // the write ends of the pipes
    int output = -1;
    int status = -1;  // the starter's alone: the loader's wait status
    int null = -1;
    pid_t halctl = 0;
};

void prepare(Spawn* spawn, const std::string& library, const std::vector<std::string>& deps) {
    spawn->executable = own_executable();
    spawn->arguments = {kProbeName, library};
    spawn->arguments.insert(spawn->arguments.end(), deps.begin(), deps.end());
    const std::string variable = std::string(kLoadProbeVariable) + "=";
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, variable.c_str(), variable.size()) != 0) {
            spawn->environment.emplace_back(*entry);
        }
    }
    spawn->environment.push_back(variable + std::to_string(kProbeReportFd));
    for (std::string& argument : spawn->arguments) spawn->argv.push_back(argument.data());
    spawn->argv.push_back(nullptr);
    for (std::string& entry : spawn->environment) spawn->envp.push_back(entry.data());
    spawn->envp.push_back(nullptr);
    spawn->halctl = getpid();
}

void write_record(int fd, const std::string& line) {
    (void)write_all(fd, line.data(), line.size());
}

// The loading process: standard input from /dev/null, its output and the report into the pipes,
// no other descriptor of halctl's; then halctl again, fresh, as the probe.
[[noreturn]] void become_loader(const Spawn& spawn, const std::string& library,
                                const std::vector<std::string>& deps) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // Out of the way of 0 to 3 first: a pipe may have been given one of them.
    const int report = fcntl(spawn.report, F_DUPFD, kProbeReportFd + 1);
    const int output = fcntl(spawn.output, F_DUPFD, kProbeReportFd + 1);
    dup2(spawn.null, STDIN_FILENO);
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
    dup2(report, kProbeReportFd);
    const long most = std::min<long>(sysconf(_SC_OPEN_MAX), kMostDescriptor);
    for (int fd = kProbeReportFd + 1; fd < most; ++fd) close(fd);
    execve(spawn.executable.c_str(), spawn.argv.data(), spawn.envp.data());
    // halctl cannot be started again (an emulator without binfmt_misc): this copy loads it.
    write_record(kProbeReportFd,
                 std::string(1, probe_record::kExecFailed) + error_text(errno) + "\n");
    std::vector<const char*> names(deps.size());
    for (size_t i = 0; i < deps.size(); ++i) names[i] = deps[i].c_str();
    run_load_probe(kProbeReportFd, library.c_str(), names.data(), static_cast<int>(names.size()),
                   true);
}

// The process between halctl and the loader, leading the loading's process group: a constructor
// that signals its parent reaches this one, and halctl reports what became of it.
[[noreturn]] void supervise(const Spawn& spawn, const std::string& library,
                            const std::vector<std::string>& deps) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != spawn.halctl) _exit(1);
    for (int number : kInterrupts) signal(number, SIG_DFL);
    // It holds none of halctl's standard streams (a pipe into which halctl prints, a terminal).
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fd != spawn.report && fd != spawn.output && fd != spawn.status) dup2(spawn.null, fd);
    }
    const pid_t loader = fork();
    if (loader == 0) become_loader(spawn, library, deps);
    int status = 0;
    if (loader > 0) {
        while (waitpid(loader, &status, 0) < 0 && errno == EINTR) {
        }
    }
    write_record(spawn.status, loader < 0 ? std::string(1, probe_record::kExecFailed) +
                                                    "cannot fork: " + error_text(errno) + "\n"
                                          : std::string(1, probe_record::kWaitStatus) +
                                                    std::to_string(status) + "\n");
    _exit(0);
}

// One read of a pipe into `text`, kept within `most` (and `cut` set past it); false at its end.
bool read_some(int fd, std::string* text, size_t most, bool* cut) {
    char buffer[4096];
    const ssize_t got = read(fd, buffer, sizeof(buffer));
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) return true;
    if (got <= 0) return false;
    const size_t room = most - std::min(most, text->size());
    text->append(buffer, std::min(static_cast<size_t>(got), room));
    if (static_cast<size_t>(got) > room) *cut = true;
    return true;
}

struct Pipes {
    int report = -1;
    int output = -1;
    bool report_open = true;
    bool output_open = true;
};

// Reads what there is, waiting at most `wait_ms` for something.
void read_pipes(Pipes* pipes, int wait_ms, std::string* report, std::string* output, bool* cut) {
    pollfd ready[2] = {{pipes->report, POLLIN, 0}, {pipes->output, POLLIN, 0}};
    if (!pipes->report_open) ready[0].fd = -1;
    if (!pipes->output_open) ready[1].fd = -1;
    if (!pipes->report_open && !pipes->output_open) {
        const timespec pause{0, static_cast<long>(wait_ms) * 1000000L};
        nanosleep(&pause, nullptr);
        return;
    }
    if (poll(ready, 2, wait_ms) <= 0) return;
    bool report_cut = false;
    if (ready[0].revents != 0) {
        pipes->report_open = read_some(pipes->report, report, kMostReport, &report_cut);
    }
    if (ready[1].revents != 0) {
        pipes->output_open = read_some(pipes->output, output, kMostLoadOutput, cut);
    }
}

// Whether `child` has ended, leaving it to be reaped: its pid, and so its process group, stays
// taken until then.
bool ended(pid_t child) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == child;
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

// The report's records, read into the outcome.
struct Records {
    bool started = false;
    bool copy = false;
    std::string exec_error;
    bool already_loaded = false;
    bool loading = false;
    char crash_where = 0;
    bool loaded = false;
    bool refused = false;
    std::string refusal;  // the first: what a dependency asked for later writes comes after it
    bool have_status = false;
    int status = 0;
    std::string fork_error;
};

Records read_records(const std::string& report, LoadOutcome* outcome) {
    Records records;
    size_t start = 0;
    for (size_t end = report.find('\n'); end != std::string::npos;
         start = end + 1, end = report.find('\n', start)) {
        const std::string line = report.substr(start, end - start);
        if (line.empty()) continue;
        const std::string text = line.substr(1);
        switch (line[0]) {
            case probe_record::kStarted:
                records.started = true;
                break;
            case probe_record::kForkedCopy:
                records.copy = true;
                break;
            case probe_record::kExecFailed:
                (text.rfind("cannot fork", 0) == 0 ? records.fork_error : records.exec_error) = text;
                break;
            case probe_record::kAlreadyLoaded:
                records.already_loaded = true;
                break;
            case probe_record::kLoading:
                records.loading = true;
                break;
            case probe_record::kCrash:
                if (records.crash_where == 0 && !text.empty()) records.crash_where = text[0];
                break;
            case probe_record::kLoaded:
                records.loaded = true;
                break;
            case probe_record::kRefused:
                if (!records.refused) records.refusal = text;
                records.refused = true;
                break;
            case probe_record::kObject:
                outcome->objects.push_back(text);
                break;
            case probe_record::kDependencyFound:
            case probe_record::kDependencyLost: {
                const size_t tab = text.find('\t');
                outcome->dependencies.push_back(
                        {text.substr(0, tab), line[0] == probe_record::kDependencyFound,
                         tab == std::string::npos ? "" : text.substr(tab + 1)});
                break;
            }
            case probe_record::kWaitStatus:
                records.have_status = true;
                records.status = static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
                break;
            default:
                break;
        }
    }
    return records;
}

// A verdict status whose record is missing: load-time code closed the report's descriptor, or
// put another file in its place.
void report_lost(const char* ended_as, LoadOutcome* outcome) {
    outcome->kind = LoadOutcome::Kind::kReportLost;
    outcome->message = std::string("the loading process ended as after ") + ended_as +
                       ", but its report of it was lost: load-time code closed or replaced the "
                       "descriptor it reports on (" +
                       std::to_string(kProbeReportFd) + ")";
}

void judge(const Records& records, int supervisor_status, LoadOutcome* outcome) {
    outcome->fresh_process = records.started;
    using Kind = LoadOutcome::Kind;
    if (!records.have_status) {
        if (WIFSIGNALED(supervisor_status)) {
            outcome->kind = Kind::kStarterEnded;
            outcome->message = "loading ended the process that started it with " +
                               signal_text(WTERMSIG(supervisor_status)) +
                               ": a load-time constructor signals its parent";
        } else {
            outcome->message = "the loading process could not be started" +
                               (records.fork_error.empty() ? "" : ": " + records.fork_error);
        }
        return;
    }
    const int status = records.status;
    const bool exited = WIFEXITED(status);
    if (exited && WEXITSTATUS(status) == kProbeNoVerdictStatus && records.already_loaded) {
        outcome->message = "halctl has the library loaded already and cannot start itself again (" +
                           records.exec_error + "): no fresh process to ask the loader";
        return;
    }
    if (!records.loading) {
        outcome->message = "the loading process could not start: " +
                           (WIFSIGNALED(status) ? signal_text(WTERMSIG(status))
                                                : "status " + std::to_string(WEXITSTATUS(status)));
        return;
    }
    if (exited && WEXITSTATUS(status) == kProbeLoadedStatus) {
        if (records.loaded) {
            outcome->kind = Kind::kLoaded;
        } else {
            report_lost("a load", outcome);
        }
        return;
    }
    if (exited && WEXITSTATUS(status) == kProbeRefusedStatus) {
        if (records.refused) {
            outcome->kind = Kind::kRefused;
            outcome->message = records.refusal;
        } else {
            report_lost("a refusal", outcome);
        }
        return;
    }
    if (WIFSIGNALED(status)) {
        outcome->kind = Kind::kSignal;
        outcome->message = "loading was ended by " + signal_text(WTERMSIG(status));
        switch (records.crash_where) {
            case 'L':
                outcome->crash = LoadOutcome::Crash::kLoader;
                outcome->message += " in the dynamic loader itself, reading the file";
                break;
            case 'O':
                outcome->crash = LoadOutcome::Crash::kLoadedCode;
                outcome->message +=
                        " in code that loading ran (a load-time constructor of the library or of a "
                        "library it needs)";
                break;
            case '?':
                outcome->crash = LoadOutcome::Crash::kUnknown;
                break;
            default:
                // Not a fault: another process, or the loaded code itself, sent it.
                outcome->crash = LoadOutcome::Crash::kLoadedCode;
                outcome->message += ", sent while the library's load-time code ran";
                break;
        }
        return;
    }
    outcome->kind = Kind::kExited;
    outcome->message = "loading ended the process with status " +
                       std::to_string(WEXITSTATUS(status)) +
                       " before dlopen returned: a load-time constructor called exit";
}

// The directories of halctl's own DT_RUNPATH, as the loader expands them.
std::vector<std::string> own_run_path(const std::string& executable) {
    ElfNeeded own;
    std::string error;
    if (!read_elf_needed(executable, &own, &error)) return {};
    own.rpath.clear();
    const size_t slash = executable.rfind('/');
    const std::string origin = slash == std::string::npos ? "." : executable.substr(0, slash);
    std::vector<std::string> dirs;
    for (const std::string& dir : search_dirs(own, origin, nullptr, LoaderModel::kBionic)) {
        std::error_code failed;
        const fs::path canonical = fs::weakly_canonical(dir, failed);
        dirs.push_back(failed ? dir : canonical.string());
    }
    return dirs;
}

// A dependency asked for by its bare name is looked for as halctl's executable asks: the loader
// then also searches halctl's DT_RUNPATH, which the library's own load never does. An answer
// found only there is not the library's.
void mark_halctls_run_path(const std::string& executable, std::vector<DependencyAnswer>* answers) {
    const std::vector<std::string> own = own_run_path(executable);
    for (DependencyAnswer& answer : *answers) {
        if (!answer.loaded || answer.text.empty() || answer.name.find('/') != std::string::npos) {
            continue;
        }
        std::error_code failed;
        const fs::path where = fs::weakly_canonical(fs::path(answer.text).parent_path(), failed);
        if (!failed && std::find(own.begin(), own.end(), where.string()) != own.end()) {
            answer.through_halctl = true;
        }
    }
}

}  // namespace

LoadOutcome load_in_child(const std::string& library, const std::vector<std::string>& dependencies,
                          int timeout_ms) {
    LoadOutcome outcome;
    Spawn spawn;
    prepare(&spawn, library, dependencies);
    // The report and the output of the loading, and the starter's word on how it ended.
    int pipes_made[3][2];
    for (int i = 0; i < 3; ++i) {
        if (pipe2(pipes_made[i], O_CLOEXEC) == 0) continue;
        outcome.message = "cannot make a pipe: " + error_text(errno);
        for (int j = 0; j < i; ++j) {
            close(pipes_made[j][0]);
            close(pipes_made[j][1]);
        }
        return outcome;
    }
    int* report = pipes_made[0];
    int* output = pipes_made[1];
    int* told = pipes_made[2];
    spawn.report = report[1];
    spawn.output = output[1];
    spawn.status = told[1];
    spawn.null = open("/dev/null", O_RDWR | O_CLOEXEC);
    // What is buffered now is printed once, by this process.
    fflush(stdout);
    fflush(stderr);
    const pid_t starter = fork();
    if (starter == 0) supervise(spawn, library, dependencies);
    const int fork_error = errno;
    close(report[1]);
    close(output[1]);
    close(told[1]);
    if (spawn.null >= 0) close(spawn.null);
    if (starter < 0) {
        outcome.message = "cannot fork: " + error_text(fork_error);
        close(report[0]);
        close(output[0]);
        close(told[0]);
        return outcome;
    }
    // Both sides set the group, so that it exists before either goes on.
    setpgid(starter, starter);
    std::string records_text;
    int status = 0;
    bool finished = false;
    {
        const InterruptGuard guard(starter);
        Pipes pipes{report[0], output[0]};
        fcntl(pipes.report, F_SETFL, O_NONBLOCK);
        fcntl(pipes.output, F_SETFL, O_NONBLOCK);
        const long long deadline = now_ms() + timeout_ms;
        while (true) {
            if (ended(starter)) {
                finished = true;
                break;
            }
            const long long left = deadline - now_ms();
            if (left <= 0) break;
            read_pipes(&pipes, static_cast<int>(std::min<long long>(left, kPollMs)), &records_text,
                       &outcome.output, &outcome.output_cut);
        }
        // What is there now is read; a process that loading started and that holds a pipe is
        // not waited for.
        for (int i = 0; i < 64 && (pipes.report_open || pipes.output_open); ++i) {
            const size_t before = records_text.size() + outcome.output.size();
            read_pipes(&pipes, 0, &records_text, &outcome.output, &outcome.output_cut);
            if (records_text.size() + outcome.output.size() == before) break;
        }
        // Every process left in the group: the loader at the deadline, and whatever it started.
        kill(-starter, SIGKILL);
        reap_until(starter, now_ms() + 1000, &status);
    }
    close(report[0]);
    close(output[0]);
    // Written before the starter ended, so there in whole; a record of that kind on the report
    // came from loaded code.
    std::string told_text;
    bool told_cut = false;
    fcntl(told[0], F_SETFL, O_NONBLOCK);
    for (int i = 0; i < 64 && read_some(told[0], &told_text, kMostReport, &told_cut); ++i) {
    }
    close(told[0]);
    Records records = read_records(records_text, &outcome);
    LoadOutcome ignored;
    const Records starter_said = read_records(told_text, &ignored);
    records.have_status = starter_said.have_status;
    records.status = starter_said.status;
    records.fork_error = starter_said.fork_error;
    mark_halctls_run_path(spawn.executable, &outcome.dependencies);
    if (!finished) {
        outcome.kind = LoadOutcome::Kind::kTimedOut;
        outcome.fresh_process = records.started;
        outcome.message = "loading did not finish within " + std::to_string(timeout_ms / 1000) +
                          " s and was killed, with every process it started";
        return outcome;
    }
    judge(records, status, &outcome);
    return outcome;
}
