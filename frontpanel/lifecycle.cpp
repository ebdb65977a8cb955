// Front-panel lifecycle: replay of the saved request at start, and the entry points that only log.
#include <android/log.h>

#include "frontpanel.h"
#include "quorin_hal.h"

namespace {

// The led index default that means "no request was ever saved".
constexpr int kNoSavedRequest = -1;

int log_only(const char* function) {
    __android_log_print(ANDROID_LOG_DEBUG, kFrontPanelTag, "%s<%s> ..\n", kFrontPanelTag, function);
    return 0;
}

}  // namespace

int HAL_FrontPanelInit(void) {
    log_only("HAL_FrontPanelInit");
    int index = kNoSavedRequest;
    int state = 0;
    if (!read_led_triple("HAL_FrontPanelInit", kNoSavedRequest, &index, &state)) return 0;
    // The saved colour is only reported: the replayed request draws its own pattern.
    if (index >= 0) HAL_FrontPanelSetLedState(index, state);
    return 0;
}

int HAL_FrontPanelDeinit(void) {
    return log_only("HAL_FrontPanelDeinit");
}

int HAL_FrontPanelGetVersion(void) {
    __android_log_print(ANDROID_LOG_DEBUG, kFrontPanelTag, "%s<%s> version %d\n", kFrontPanelTag,
                        "HAL_FrontPanelGetVersion", kFrontPanelVersion);
    return 0;
}

int HAL_FrontPanelSetLedStateForVolume(int /*volume*/) {
    return log_only("HAL_FrontPanelSetLedStateForVolume");
}

int HAL_FrontPanelSetBeamformingDegree(int /*degree*/) {
    return log_only("HAL_FrontPanelSetBeamformingDegree");
}
