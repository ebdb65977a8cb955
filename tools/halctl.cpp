// SPDX-License-Identifier: Apache-2.0
// halctl: drives the hardware-support library from a shell, one call per command or many in one
// process from a script, and draws the device as its files and properties show it.
#include <android/log.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "doctor.h"
#include "doctor_report.h"
#include "hal_api.h"
#include "hal_sim_view.h"
#include "halctl_commands.h"
#include "halctl_options.h"
#include "host_service.h"
#include "library_holders.h"
#include "log_sink.h"
#include "panel_view.h"
#include "property_keys.h"
#include "script_source.h"
#include "service_route.h"
#include "text_escape.h"

namespace {

constexpr const char* kLibraryName = "libquorin_hal.so";

bool verbose_logs = false;
// The error of the first flush of standard output that failed: a later flush finds the stream
// already failed and no errno to tell why.
int output_error = 0;

bool flush_output() {
    // A print that failed just before left its errno.
    const int print_error = ferror(stdout) != 0 ? errno : 0;
    errno = 0;
    if (fflush(stdout) == 0 && ferror(stdout) == 0) return true;
    if (output_error == 0) output_error = errno != 0 ? errno : print_error;
    return false;
}

// The library installed beside halctl (bin/ and lib/ as in /vendor, or the build tree), else the
// bare name for the loader's own search. Looked up here rather than left to the RUNPATH, which a
// dlopen interposed by a sanitizer's runtime does not see.
std::string default_library() {
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (length > 0) {
        std::string dir(self, static_cast<size_t>(length));
        dir.erase(dir.rfind('/') + 1);
        for (const char* relative : {"../lib/", "../"}) {
            std::string candidate = dir + relative + kLibraryName;
            if (access(candidate.c_str(), R_OK) == 0) return candidate;
        }
    }
    return kLibraryName;
}

// Log lines in logcat's brief format, on standard error, after what is already on standard output.
// Without -v only warnings and worse.
void print_log_line(int priority, const char* tag, const char* message) {
    if (!verbose_logs && priority < ANDROID_LOG_WARN) return;
    flush_output();
    fprintf(stderr, "%s\n", brief_line(priority, tag, getpid(), message).c_str());
}

int usage_error(const std::string& error, const std::string& usage) {
    fprintf(stderr, "halctl: %s\n", error.c_str());
    if (!usage.empty()) fprintf(stderr, "usage: %s\n", usage.c_str());
    return kExitUsage;
}

bool use_colour(const Options& options) {
    if (options.colour != Options::Colour::kAuto) return options.colour == Options::Colour::kAlways;
    const char* term = getenv("TERM");  // NOLINT(concurrency-mt-unsafe): single-threaded tool
    return isatty(STDOUT_FILENO) != 0 && getenv("NO_COLOR") == nullptr &&  // NOLINT
           term != nullptr && strcmp(term, "dumb") != 0;
}

class Session {
  public:
    explicit Session(const Options& options)
        : options_(options),
          loader_(options.library.empty() ? default_library() : options.library) {
    }

    int execute(const Command& command);

  private:
    int show();
    int restart();
    int reboot();
    int run(const std::string& file);
    int doctor(bool json);
    int print_properties();
    int own_work(const Command& command);
    bool ensure_loaded();
    bool refused_beside_service(const Command& command);
    void warn_of_holders();
    int call_library(const Command& command);
    int through_service(const Command& command);

    const Options& options_;
    HalLoader loader_;
    bool holders_looked_for_ = false;
    bool service_looked_for_ = false;
    bool said_through_service_ = false;
    std::string service_state_;
};

// The file the loader took the library from: a bare name resolved, as the maps of other
// processes name it.
std::string loaded_file(const HalApi& api) {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(api.Init), &info) == 0 || info.dli_fname == nullptr)
        return "";
    return info.dli_fname;
}

// Once a run: another process with this very library file loaded overrides what this one sets.
// A warning, not a refusal: the test engineer may mean it.
void Session::warn_of_holders() {
    if (holders_looked_for_) return;
    holders_looked_for_ = true;
    std::string file = loaded_file(loader_.api());
    if (file.empty()) file = loader_.path();
    const HolderScan scan = library_holders("/proc", file, getpid());
    if (!scan.holders.empty()) {
        fprintf(stderr,
                "halctl: warning: %s is also loaded by %s: that process drives the panel too and "
                "may override what halctl sets\n",
                printable(file).c_str(), describe_holders(scan.holders).c_str());
    }
    if (!scan.complete) {
        fprintf(stderr, "halctl: warning: whether another process has %s loaded is not known: %s\n",
                printable(file).c_str(), scan.cut.c_str());
    }
}

// Beside a running hosting service the device is the service's: a change is refused unless
// forced. The service's state is read once a run.
bool Session::refused_beside_service(const Command& command) {
    if (options_.force) return false;
    if (!service_looked_for_) {
        service_looked_for_ = true;
        service_state_ = host_service_state();
    }
    if (!host_service_active(service_state_)) return false;
    fprintf(stderr, "halctl: %s\n",
            host_service_refusal(command_name(*command.def), service_state_).c_str());
    return true;
}

// The service serves the request: it is the service's to apply, and the session says so once.
int Session::through_service(const Command& command) {
    if (!said_through_service_) {
        said_through_service_ = true;
        flush_output();
        fprintf(stderr, "halctl: through the hosting service %s (--force: the library instead)\n",
                service_instance().c_str());
    }
    return send_to_service(command);
}

bool Session::ensure_loaded() {
    if (loader_.loaded()) return true;
    if (loader_.load()) return true;
    fprintf(stderr, "halctl: cannot load %s: %s\n", printable(loader_.path()).c_str(),
            printable(loader_.error()).c_str());
    return false;
}

int Session::own_work(const Command& command) {
    switch (command.def->work) {
        case HalctlWork::kShow:
            return show();
        case HalctlWork::kRestart:
            return restart();
        case HalctlWork::kReboot:
            return reboot();
        case HalctlWork::kRun:
            return run(command.file);
        case HalctlWork::kDoctor:
            return doctor(command.json);
        case HalctlWork::kNone:
            break;
    }
    return kExitUsage;
}

int Session::execute(const Command& command) {
    const CommandDef& def = *command.def;
    if (def.library == nullptr) return own_work(command);
    if (!options_.force && served_by_service(def) && service_registered()) {
        return through_service(command);
    }
    if (changes_device(def) && refused_beside_service(command)) return kExitRefused;
    if (!ensure_loaded()) return kExitFailure;
    if (changes_device(def)) warn_of_holders();
    try {
        const int status = def.library(loader_.api(), command.args);
        return def.use == CommandUse::kPrintsProperties ? print_properties() : status;
    } catch (const std::exception& e) {
        fprintf(stderr, "halctl: %s: the library let an exception through: %s\n",
                command_name(*command.def).c_str(), printable(e.what()).c_str());
    } catch (...) {
        fprintf(stderr, "halctl: %s: the library let a non-standard exception through\n",
                command_name(*command.def).c_str());
    }
    return kExitFailure;
}

int Session::show() {
    fputs(render_panel(read_panel(), use_colour(options_)).c_str(), stdout);
    printf("  requests        %s\n", request_path_text(options_.force).c_str());
    return kExitOk;
}

int Session::restart() {
    loader_.unload();
    return ensure_loaded() ? kExitOk : kExitFailure;
}

// No process survives a reboot: the library is unloaded first and loaded again by the next
// command, as the hosting process starts again on the new boot.
int Session::reboot() {
    if (!simulated_device())
        return usage_error("reboot: only the simulated device is rebooted by halctl", "adb reboot");
    loader_.unload();
    if (simulated_reboot()) return kExitOk;
    fprintf(stderr, "halctl: reboot: the simulated property store could not be rewritten\n");
    return kExitFailure;
}

int Session::print_properties() {
    PanelState panel{};
    read_properties(&panel);
    printf("%s=%s\n%s=%s\n%s=%s\n%s=%s\n", kLedIndexProperty, panel.ledindex.c_str(),
           kLedStateProperty, panel.ledstate.c_str(), kLedColorProperty, panel.ledcolor.c_str(),
           kMicStateProperty, panel.micstate.c_str());
    return kExitOk;
}

// Looks at the device without loading the library into this process: nothing is called, no LED
// changes. Each line of the text report is out as soon as its check completes; the JSON object
// is printed whole at the end.
int Session::doctor(bool json) {
    DoctorReport report;
    DoctorTally counts;
    const auto report_check = [&](const DoctorCheck& check) {
        count(&counts, check);
        if (json) {
            report.push_back(check);
        } else {
            fputs(check_text(check).c_str(), stdout);
            flush_output();
        }
    };
    run_doctor(loader_.path(), report_check);
    // Which way halctl's requests go: a finding, never a fault.
    report_check({service_instance(), "requests path", Verdict::kPass,
                  request_path_text(options_.force), ""});
    fputs((json ? doctor_json(report) : summary_text(counts)).c_str(), stdout);
    flush_output();
    return counts.failed == 0 ? kExitOk : kExitMinusOne;
}

int Session::run(const std::string& file) {
    const std::string name = file == "-" ? "<stdin>" : file;
    // The whole script is read and checked before its first line runs, as a bad line is.
    std::string text;
    std::string error;
    if (!read_script_file(file, &text, &error)) {
        return usage_error("run: " + printable(name) + ": " + error, "halctl run FILE");
    }
    const ScriptResult script = parse_script(text);
    if (!script.ok) return usage_error(printable(name) + ": " + script.error, script.usage);
    // Every line runs; the script's status is the worst one.
    int status = kExitOk;
    for (const Command& command : script.commands) {
        if (options_.trace) printf("halctl> %s\n", printable(command.text).c_str());
        const int result = execute(command);
        if (result == kExitFailure) return result;
        if (result > status) status = result;
    }
    return status;
}

// Whatever the command's status, output that did not reach standard output is a failure of its
// own. Called while the library is still loaded: its unloading may flush the stream too.
int finish(int status) {
    if (flush_output()) return status;
    fprintf(stderr, "halctl: cannot write the output: %s\n",
            output_error != 0 ? strerror(output_error) : "write error");
    return kExitOutput;
}

int run_halctl(int argc, char** argv) {
    const OptionsResult options = parse_options(argc, argv);
    switch (options.outcome) {
        case OptionsResult::Outcome::kError:
            return usage_error(options.error, options.usage);
        case OptionsResult::Outcome::kHelp:
            fputs(help_text("").c_str(), stdout);
            return finish(kExitOk);
        case OptionsResult::Outcome::kVersion:
            printf("halctl %s\n", kHalctlVersion);
            return finish(kExitOk);
        case OptionsResult::Outcome::kCommand:
            break;
    }

    const ParseResult parsed = parse_command(options.words, false);
    if (parsed.help) {
        fputs(parsed.usage.c_str(), stdout);
        return finish(kExitOk);
    }
    if (!parsed.ok) return usage_error(parsed.error, parsed.usage);

    // The stderr view, and every line on to the platform's log, where logcat shows it.
    verbose_logs = options.options.verbose;
    install_log_sink(print_log_line, platform_log);
    Session session(options.options);
    return finish(session.execute(parsed.command));
}

}  // namespace

int main(int argc, char** argv) {
    // A closed pipe is an output error like any other: reported, and exit 4, not a silent death.
    signal(SIGPIPE, SIG_IGN);  // NOLINT(cert-err33-c): nothing to do if it cannot be ignored
    return run_halctl(argc, argv);
}
