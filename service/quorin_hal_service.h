// SPDX-License-Identifier: Apache-2.0
// The service that hosts libquorin_hal on a device: IQuorinHal's methods over the library's entry
// points. Calls arrive one at a time (the process has one binder thread), as the library needs.
#pragma once

#include <aidl/vendor/quorin/hal/BnQuorinHal.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "hal_api.h"

class QuorinHalService : public aidl::vendor::quorin::hal::BnQuorinHal {
  public:
    // `api` holds the library's entry points (linked, or loaded by a test) and outlives the
    // service. A dump gives up when its caller's descriptor has not taken the text within
    // `dump_timeout`.
    QuorinHalService(const HalApi& api, std::chrono::milliseconds dump_timeout)
        : api_(api), dump_timeout_(dump_timeout) {
    }

    ndk::ScopedAStatus setLedState(int32_t ledIndex, int32_t ledState) override;
    ndk::ScopedAStatus setLedColor(int32_t ledIndex, int32_t color) override;
    ndk::ScopedAStatus setMicMuted(bool muted) override;
    ndk::ScopedAStatus setMicVolume(int32_t volume) override;
    ndk::ScopedAStatus getMicVolume(int32_t* volume) override;
    ndk::ScopedAStatus setMicEchoLevel(int32_t level) override;
    ndk::ScopedAStatus getMicEchoLevel(int32_t* level) override;

    // dumpsys: the panel as `halctl show` draws it, the saved request and the microphone, and
    // what start-up found disagreeing. STATUS_OK, or the write's error as a negative errno
    // (-ETIMEDOUT when the caller has not taken it within the dump's timeout).
    binder_status_t dump(int fd, const char** args, uint32_t numArgs) override;

    // Set once, before the first call is served.
    void set_start_up_disagreements(std::vector<std::string> found) {
        start_up_disagreements_ = std::move(found);
    }

  private:
    const HalApi& api_;
    const std::chrono::milliseconds dump_timeout_;
    std::vector<std::string> start_up_disagreements_;
};

// The text of the dump, as written to dumpsys.
std::string service_dump_text(const std::vector<std::string>& start_up_disagreements);
