// SPDX-License-Identifier: Apache-2.0
#include "service_startup.h"

#include <SystemControlClient.h>
#include <android/binder_manager.h>
#include <android/binder_process.h>
#include <android/log.h>
#include <sys/system_properties.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <memory>
#include <thread>

#include "device_read.h"
#include "property_keys.h"
#include "quorin_hal_service.h"
#include "service_log.h"
#include "start_up_check.h"

namespace {

using Clock = std::chrono::steady_clock;

// Runs one start-up step; a platform component's fault there leaves the device as it is, and the
// service still serves: a client's requests may find the component back.
template <typename Step>
void start_up_step(const char* what, Step&& step) {
    try {
        step();
    } catch (const std::exception& e) {
        __android_log_print(ANDROID_LOG_ERROR, kServiceLogTag, "start-up: %s failed: %s", what,
                            e.what());
    } catch (...) {
        __android_log_print(ANDROID_LOG_ERROR, kServiceLogTag,
                            "start-up: %s failed with an unknown exception", what);
    }
}

// Why the servicemanager refused the registration, as Android 12's answers it: the name and the
// binder are always valid here, so each code has one cause.
std::string refusal(binder_exception_t code) {
    switch (code) {
        case EX_SECURITY:
            return "EX_SECURITY, an SELinux denial (service_contexts must label the name "
                   "hal_quorin_service, and hal_quorin_default must be allowed to add it; the "
                   "avc line names the missing rule)";
        case EX_ILLEGAL_ARGUMENT:
            return "EX_ILLEGAL_ARGUMENT, the instance is not in the device's VINTF manifest "
                   "(the service's vintf_fragments)";
        default:
            return "exception " + std::to_string(code);
    }
}

}  // namespace

bool wait_for_system_control(const StartupOptions& options) {
    const Clock::time_point deadline = Clock::now() + options.wait_deadline;
    for (int look = 1;; ++look) {
        // The client offers no "is it up" call: its getInstance() handing out a client is what
        // the library needs, so that is what is waited for.
        if (android::sp<android::SystemControlClient>(
                    android::SystemControlClient::getInstance()) != nullptr) {
            __android_log_print(ANDROID_LOG_INFO, kServiceLogTag,
                                "the system-control service is up");
            return true;
        }
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            __android_log_print(ANDROID_LOG_WARN, kServiceLogTag,
                                "the system-control service is not up within %lld ms (%d %s); "
                                "going on without the saved LED request",
                                static_cast<long long>(options.wait_deadline.count()), look,
                                look == 1 ? "look" : "looks");
            return false;
        }
        __android_log_print(ANDROID_LOG_INFO, kServiceLogTag,
                            "waiting for the system-control service (look %d)", look);
        std::this_thread::sleep_for(
                std::min<Clock::duration>(options.wait_interval, deadline - now));
    }
}

std::vector<std::string> prepare_device(const HalApi& api) {
    // The saved LED request as the replay reads it; a performed replay saves it again, whole.
    PanelState saved{};
    read_properties(&saved);
    std::vector<std::string> found = saved_request_disagreements(saved);
    // The saved LED request, as a new process must (the library's first call in it).
    start_up_step("replaying the saved LED request", [&] { api.Init(); });
    // A known microphone state: muted. After a restart "vendor.quorin.micstate" may say "1" for a
    // patch this process never created (the port is new); muting releases it and records "0", and
    // writes the ADC's mute. ADC, patch and record then agree, and a client that wants the
    // microphone unmutes it, which creates the patch again.
    start_up_step("muting the microphone", [&] { api.MicSetOnOff(1); });
    // After a reboot the record is unset, which the library reads as "0": setting "0" changes
    // nothing for it, and shows whether the record can be written at all.
    if (read_property(kMicStateProperty).empty()) {
        __system_property_set(kMicStateProperty, kMicStateDisabled);
    }
    start_up_step("reading the microphone back", [&] {
        const std::vector<std::string> microphone = microphone_disagreements(read_panel());
        found.insert(found.end(), microphone.begin(), microphone.end());
    });
    for (const std::string& line : found) {
        __android_log_print(ANDROID_LOG_ERROR, kServiceLogTag, "start-up: %s", line.c_str());
    }
    return found;
}

int run_service(const HalApi& api, const StartupOptions& options) {
    // A dump's reader that goes away must cost that dump an error status, not the process.
    signal(SIGPIPE, SIG_IGN);  // NOLINT(cert-err33-c): the previous handler is of no use
    // Only the main thread serves, below: every call into the library comes from it, one at a
    // time, as the library requires. Android 12 fails this only when the driver's ioctl fails.
    if (!ABinderProcess_setThreadPoolMaxThreadCount(0)) {
        __android_log_print(ANDROID_LOG_ERROR, kServiceLogTag,
                            "the binder driver refused the bound of no pool thread "
                            "(BINDER_SET_MAX_THREADS; libbinder logs its error)");
        return EXIT_FAILURE;
    }
    wait_for_system_control(options);

    const std::shared_ptr<QuorinHalService> service =
            ndk::SharedRefBase::make<QuorinHalService>(api, options.dump_timeout);
    // Registered before the device is prepared: a refused registration then ends the process
    // before it touches the device, so init's restarts do not replay and mute every 5 s. With no
    // pool thread a call waits in the driver until joinThreadPool, after the preparation.
    __android_log_print(ANDROID_LOG_INFO, kServiceLogTag, "registering %s", kServiceInstance);
    const binder_exception_t registered =
            AServiceManager_addService(service->asBinder().get(), kServiceInstance);
    if (registered != EX_NONE) {
        __android_log_print(ANDROID_LOG_ERROR, kServiceLogTag, "registering %s was refused: %s",
                            kServiceInstance, refusal(registered).c_str());
        return EXIT_FAILURE;
    }
    service->set_start_up_disagreements(prepare_device(api));
    ABinderProcess_joinThreadPool();
    __android_log_print(ANDROID_LOG_ERROR, kServiceLogTag, "the binder thread pool stopped");
    return EXIT_FAILURE;
}
