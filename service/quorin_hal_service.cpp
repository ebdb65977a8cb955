// SPDX-License-Identifier: Apache-2.0
#include "quorin_hal_service.h"

#include <android/log.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <string>
#include <utility>

#include "panel_view.h"
#include "service_log.h"
#include "write_all.h"

using aidl::vendor::quorin::hal::IQuorinHal;
using ndk::ScopedAStatus;

namespace {

// Runs one method's call into the library. A fault of the platform's components (an exception
// the library lets through) ends this call with an error status, never the process.
template <typename Call>
ScopedAStatus guarded(const char* method, Call&& call) {
    std::string message;
    try {
        return std::forward<Call>(call)();
    } catch (const std::exception& e) {
        message = std::string(method) + ": a platform component failed: " + e.what();
        __android_log_print(ANDROID_LOG_ERROR, kServiceLogTag, "%s", message.c_str());
        return ScopedAStatus::fromServiceSpecificErrorWithMessage(IQuorinHal::ERROR_PLATFORM_FAULT,
                                                                  message.c_str());
    } catch (...) {
        message = std::string(method) + ": a platform component failed with an unknown exception";
        __android_log_print(ANDROID_LOG_ERROR, kServiceLogTag, "%s", message.c_str());
        return ScopedAStatus::fromExceptionCodeWithMessage(EX_ILLEGAL_STATE, message.c_str());
    }
}

// The library's answer to a request it refuses (-1) as the caller sees it: nothing was written.
ScopedAStatus refused(const char* method, const char* what, int32_t value) {
    const std::string message =
            std::string(method) + ": " + what + " " + std::to_string(value) + " is negative";
    return ScopedAStatus::fromExceptionCodeWithMessage(EX_ILLEGAL_ARGUMENT, message.c_str());
}

}  // namespace

ScopedAStatus QuorinHalService::setLedState(int32_t ledIndex, int32_t ledState) {
    return guarded("setLedState", [&] {
        // The library refuses a negative state before it writes anything.
        if (api_.SetLedState(ledIndex, ledState) < 0) {
            return refused("setLedState", "LED state", ledState);
        }
        return ScopedAStatus::ok();
    });
}

ScopedAStatus QuorinHalService::setLedColor(int32_t ledIndex, int32_t color) {
    return guarded("setLedColor", [&] {
        if (api_.SetLedColor(ledIndex, color) < 0) return refused("setLedColor", "colour", color);
        return ScopedAStatus::ok();
    });
}

ScopedAStatus QuorinHalService::setMicMuted(bool muted) {
    return guarded("setMicMuted", [&] {
        api_.MicSetOnOff(muted ? 1 : 0);
        return ScopedAStatus::ok();
    });
}

ScopedAStatus QuorinHalService::setMicVolume(int32_t volume) {
    return guarded("setMicVolume", [&] {
        api_.MicSetVolume(volume);
        return ScopedAStatus::ok();
    });
}

ScopedAStatus QuorinHalService::getMicVolume(int32_t* volume) {
    return guarded("getMicVolume", [&] {
        *volume = api_.MicGetVolume();
        return ScopedAStatus::ok();
    });
}

ScopedAStatus QuorinHalService::setMicEchoLevel(int32_t level) {
    return guarded("setMicEchoLevel", [&] {
        api_.MicSetEchoLevel(level);
        return ScopedAStatus::ok();
    });
}

ScopedAStatus QuorinHalService::getMicEchoLevel(int32_t* level) {
    return guarded("getMicEchoLevel", [&] {
        *level = api_.MicGetEchoLevel();
        return ScopedAStatus::ok();
    });
}

std::string service_dump_text() {
    return std::string(IQuorinHal::descriptor) + "/default, version " +
           std::to_string(IQuorinHal::version) + ", one binder thread\n" +
           render_panel(read_panel(), false);
}

binder_status_t QuorinHalService::dump(int fd, const char** /*args*/, uint32_t /*numArgs*/) {
    std::string text;
    try {
        text = service_dump_text();
    } catch (const std::exception& e) {
        text = std::string("the device could not be read: ") + e.what() + "\n";
    }
    const int error = write_all(fd, text.data(), text.size());
    if (error == 0) return STATUS_OK;
    __android_log_print(ANDROID_LOG_WARN, kServiceLogTag,
                        "dump: writing to the caller's descriptor failed: %s", strerror(error));
    return -error;
}
