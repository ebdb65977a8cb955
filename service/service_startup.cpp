// SPDX-License-Identifier: Apache-2.0
#include "service_startup.h"

#include <SystemControlClient.h>
#include <android/binder_manager.h>
#include <android/binder_process.h>
#include <android/log.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <thread>

#include "quorin_hal_service.h"
#include "service_log.h"

namespace {

// Runs one start-up step; a platform component's fault there leaves the device as it is, and the
// service still registers: a client's requests may find the component back.
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

}  // namespace

bool wait_for_system_control(const StartupOptions& options) {
    for (int round = 1; round <= options.wait_rounds; ++round) {
        // The client offers no "is it up" call: its getInstance() handing out a client is what
        // the library needs, so that is what is waited for.
        const android::sp<android::SystemControlClient> client =
                android::SystemControlClient::getInstance();
        if (client != nullptr) return true;
        __android_log_print(ANDROID_LOG_INFO, kServiceLogTag,
                            "waiting for the system-control service (%d of %d)", round,
                            options.wait_rounds);
        std::this_thread::sleep_for(options.wait_interval);
    }
    return false;
}

void prepare_device(const HalApi& api) {
    // The saved LED request, as a new process must (the library's first call in it).
    start_up_step("replaying the saved LED request", [&] { api.Init(); });
    // A known microphone state: muted. After a restart "vendor.quorin.micstate" may say "1" for a
    // patch this process never created (the port is new); muting releases it and records "0", and
    // writes the ADC's mute. ADC, patch and record then agree, and a client that wants the
    // microphone unmutes it, which creates the patch again.
    start_up_step("muting the microphone", [&] { api.MicSetOnOff(1); });
}

int run_service(const HalApi& api, const StartupOptions& options) {
    // Only the main thread serves, below: every call into the library comes from it, one at a
    // time, as the library requires.
    if (!ABinderProcess_setThreadPoolMaxThreadCount(0)) {
        __android_log_print(ANDROID_LOG_ERROR, kServiceLogTag,
                            "the binder thread pool had already started");
        return EXIT_FAILURE;
    }
    if (wait_for_system_control(options)) {
        __android_log_print(ANDROID_LOG_INFO, kServiceLogTag, "the system-control service is up");
    } else {
        __android_log_print(ANDROID_LOG_WARN, kServiceLogTag,
                            "the system-control service is not up after %d looks; going on "
                            "without the saved LED request",
                            options.wait_rounds);
    }
    prepare_device(api);

    const std::shared_ptr<QuorinHalService> service =
            ndk::SharedRefBase::make<QuorinHalService>(api);
    // Said before: once registered, a client may already be calling.
    __android_log_print(ANDROID_LOG_INFO, kServiceLogTag, "registering %s", kServiceInstance);
    const binder_exception_t registered =
            AServiceManager_addService(service->asBinder().get(), kServiceInstance);
    if (registered != EX_NONE) {
        __android_log_print(ANDROID_LOG_ERROR, kServiceLogTag, "registering %s failed: %d",
                            kServiceInstance, registered);
        return EXIT_FAILURE;
    }
    ABinderProcess_joinThreadPool();
    __android_log_print(ANDROID_LOG_ERROR, kServiceLogTag, "the binder thread pool stopped");
    return EXIT_FAILURE;
}
