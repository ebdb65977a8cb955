// SPDX-License-Identifier: Apache-2.0
// The hosting service's start-up time to registration and its resident memory. Each run is a new
// process (this program again, with --child) that lives the service's life as init starts it on
// a device: the library loaded, the wait for the system-control service (at once here), the
// replay of the saved request, the microphone muted, registration. The time runs from just
// before the process is spawned to the moment the service manager takes the name. The resident
// set is read at registration and after a thousand calls from a client, with the peak. On the
// device sandbox, as root.
#include <aidl/vendor/quorin/hal/IQuorinHal.h>
#include <android/binder_manager.h>
#include <android/log.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "binder_sim/binder_sim.h"
#include "device_sandbox.h"
#include "hal_api.h"
#include "hal_sim/hal_sim.h"
#include "null_logger.h"
#include "service_startup.h"

extern char** environ;

using aidl::vendor::quorin::hal::IQuorinHal;

namespace {

constexpr int kRuns = 20;
constexpr int kCalls = 1000;

long long monotonic_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
}

// A line of /proc/self/status, in kB.
long status_kb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, field.size() + 1, field + ":") == 0) {
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
        }
    }
    return -1;
}

// The service's life in this process: prints "startup_us rss_kb rss_after_calls_kb peak_kb".
int child(long long spawned_ns) {
    std::atomic<long long> registered_ns{0};
    unsetenv("HAL_SIM_DIR");  // NOLINT(concurrency-mt-unsafe): before any thread
    hal_sim::set_journal_enabled(false);
    bench::install_null_logger();
    binder_sim::declare_vintf_manifest(QUORIN_SERVICE_MANIFEST);
    binder_sim::set_registration_hook([&](const std::string&) { registered_ns = monotonic_ns(); });
    HalLoader library(QUORIN_HAL_PATH);
    if (!library.load()) return 1;
    StartupOptions options;
    options.wait_interval = std::chrono::milliseconds(1);
    std::thread served([&] { run_service(library.api(), options); });
    while (registered_ns == 0) std::this_thread::sleep_for(std::chrono::microseconds(100));
    const long rss = status_kb("VmRSS");
    const auto hal = IQuorinHal::fromBinder(
            ndk::SpAIBinder(AServiceManager_waitForService(kServiceInstance)));
    for (int i = 0; i < kCalls; ++i) {
        hal->setLedState(0, i % 2 == 0 ? 1 : 220);
        hal->setMicVolume(i % 101);
    }
    printf("%lld %ld %ld %ld\n", (registered_ns - spawned_ns) / 1000, rss, status_kb("VmRSS"),
           status_kb("VmHWM"));
    fflush(stdout);
    binder_sim::stop_thread_pool();
    served.join();
    return 0;
}

long median(std::vector<long> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--child") {
        return child(std::strtoll(argv[2], nullptr, 10));
    }
    std::string error;
    // The children inherit the sandbox: it is not part of their start-up.
    if (!bench::make_device_sandbox(&error)) {
        fprintf(stderr, "service_start: %s\n", error.c_str());
        return 1;
    }
    std::vector<long> startup, rss, rss_after, peak;
    for (int run = 0; run < kRuns; ++run) {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) return 1;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string spawned = std::to_string(monotonic_ns());
        std::string flag = "--child";
        char* child_argv[] = {argv[0], flag.data(), spawned.data(), nullptr};
        pid_t pid = 0;
        const int spawn_error =
                posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, child_argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        std::string text;
        char buffer[256];
        for (ssize_t got; (got = read(out[0], buffer, sizeof(buffer))) > 0;) {
            text.append(buffer, static_cast<size_t>(got));
        }
        close(out[0]);
        int status = 0;
        if (spawn_error != 0 || waitpid(pid, &status, 0) != pid || status != 0) {
            fprintf(stderr, "service_start: run %d failed\n", run);
            return 1;
        }
        long values[4] = {};
        std::istringstream line(text);
        if (!(line >> values[0] >> values[1] >> values[2] >> values[3])) {
            fprintf(stderr, "service_start: run %d printed \"%s\"\n", run, text.c_str());
            return 1;
        }
        startup.push_back(values[0]);
        rss.push_back(values[1]);
        rss_after.push_back(values[2]);
        peak.push_back(values[3]);
    }
    const auto [fastest, slowest] = std::minmax_element(startup.begin(), startup.end());
    printf("| start-up to registration (%d runs) | median %ld µs, %ld–%ld µs |\n", kRuns,
           median(startup), *fastest, *slowest);
    printf("| resident at registration | median %ld kB |\n", median(rss));
    printf("| resident after %d calls | median %ld kB (peak %ld kB) |\n", kCalls * 2,
           median(rss_after), median(peak));
    return 0;
}
