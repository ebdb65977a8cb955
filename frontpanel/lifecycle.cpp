// SPDX-License-Identifier: Apache-2.0
// Front-panel lifecycle: replay of the saved request at start, and the entry points that only log.
#include <android/log.h>

#include "frontpanel_log.h"
#include "led_persistence.h"
#include "log_only.h"
#include "quorin_hal.h"

namespace {

// The led index default that means "no request was ever saved".
constexpr int kNoSavedRequest = -1;

}  // namespace

int HAL_FrontPanelInit(void) {
    log_only(kFrontPanelTag, "HAL_FrontPanelInit");
    // Held to the end of the call: the replay's own save runs while this reference still stands.
    const SystemControlClientRef client = system_control_client_for("HAL_FrontPanelInit");
    if (client == nullptr) return 0;
    const SavedRequest saved = read_saved_request(*client, "HAL_FrontPanelInit", kNoSavedRequest);
    // The saved colour is only reported: the replayed request draws its own pattern.
    if (saved.led_index >= 0) HAL_FrontPanelSetLedState(saved.led_index, saved.led_state);
    return 0;
}

int HAL_FrontPanelDeinit(void) {
    return log_only(kFrontPanelTag, "HAL_FrontPanelDeinit");
}

int HAL_FrontPanelGetVersion(void) {
    __android_log_print(ANDROID_LOG_DEBUG, kFrontPanelTag, "%s<%s> version %d\n", kFrontPanelTag,
                        "HAL_FrontPanelGetVersion", kFrontPanelVersion);
    return 0;
}

int HAL_FrontPanelSetLedStateForVolume(int /*volume*/) {
    return log_only(kFrontPanelTag, "HAL_FrontPanelSetLedStateForVolume");
}

int HAL_FrontPanelSetBeamformingDegree(int /*degree*/) {
    return log_only(kFrontPanelTag, "HAL_FrontPanelSetBeamformingDegree");
}
