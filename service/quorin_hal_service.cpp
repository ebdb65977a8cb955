// SPDX-License-Identifier: Apache-2.0
#include "quorin_hal_service.h"

#include <android/log.h>
#include <limits.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
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

// Writes all of `text` to `fd` within `timeout`: 0, or a negative errno (-ETIMEDOUT when the
// descriptor has not taken the whole text by then). The descriptor is the caller's and stays as it
// is, so a blocking one is written only when poll() finds room, at most PIPE_BUF bytes at a time:
// that much goes into a pipe that polls writable without blocking.
int write_within(int fd, const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    size_t done = 0;
    while (done < text.size()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLOUT, 0};
        const int polled = poll(&ready, 1, static_cast<int>(std::max<int64_t>(left.count(), 0)));
        if (polled < 0 && errno == EINTR) continue;
        if (polled < 0) return -errno;
        if (polled == 0) return -ETIMEDOUT;
        const size_t chunk = std::min<size_t>(text.size() - done, PIPE_BUF);
        size_t written = 0;
        const int error = write_all(fd, text.data() + done, chunk, &written);
        done += written;
        // A non-blocking descriptor that filled up: wait for room again.
        if (error != 0 && error != EAGAIN) return -error;
    }
    return 0;
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
    // The library would save a negative index, which its replay reads as "nothing saved": the
    // request saved before would be lost at the next start.
    if (ledIndex < 0) {
        const std::string message = "setLedColor: led index " + std::to_string(ledIndex) +
                                    " is negative, which would erase the saved request";
        __android_log_print(ANDROID_LOG_WARN, kServiceLogTag, "%s", message.c_str());
        return ScopedAStatus::fromExceptionCodeWithMessage(EX_ILLEGAL_ARGUMENT, message.c_str());
    }
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

std::string service_dump_text(const std::vector<std::string>& start_up_disagreements) {
    std::string text = std::string(IQuorinHal::descriptor) + "/default, version " +
                       std::to_string(IQuorinHal::version) + ", one binder thread\n" +
                       render_panel(read_panel(), false);
    if (start_up_disagreements.empty()) text += "  start-up check  all read back as set\n";
    for (const std::string& line : start_up_disagreements) {
        text += "  start-up check  " + line + "\n";
    }
    return text;
}

binder_status_t QuorinHalService::dump(int fd, const char** /*args*/, uint32_t /*numArgs*/) {
    std::string text;
    try {
        text = service_dump_text(start_up_disagreements_);
    } catch (const std::exception& e) {
        text = std::string("the device could not be read: ") + e.what() + "\n";
    }
    const int error = write_within(fd, text, dump_timeout_);
    if (error == 0) return STATUS_OK;
    if (error == -ETIMEDOUT) {
        __android_log_print(ANDROID_LOG_WARN, kServiceLogTag,
                            "dump: the caller's descriptor did not take the text within %lld ms",
                            static_cast<long long>(dump_timeout_.count()));
    } else {
        __android_log_print(ANDROID_LOG_WARN, kServiceLogTag,
                            "dump: writing to the caller's descriptor failed: %s", strerror(-error));
    }
    return error;
}
