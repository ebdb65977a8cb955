// SPDX-License-Identifier: Apache-2.0
// HAL_FrontPanelSetLedState: request lookup, skip, standby guard, flash-and-restore.
#include <android/log.h>
#include <unistd.h>

#include "frontpanel_log.h"
#include "led_model_state.h"
#include "led_request_table.h"
#include "led_writer.h"
#include "quorin_hal.h"

// Constant-initialised, so that no constructor runs for them at load.
int led_color = kInitialLedModel.color;
bool led_steady = kInitialLedModel.steady;

namespace {

constexpr useconds_t kFlashStepUs = 50000;

// Puts back the pattern that the model says is in force; the flash itself changed nothing in it.
void restore_after_flash() {
    const LedModel model = current_led_model();
    if (model == blinking(kRemoteAloneColor)) {
        write_led_pattern(in_order({trigger_timer(Led::kRemote), trigger_none(Led::kGreen),
                                    trigger_none(Led::kSys), brightness_on(Led::kRemote),
                                    brightness_off(Led::kGreen), brightness_off(Led::kSys)}));
        return;
    }
    // Every other model (sys alone, or a colour with no pattern of its own) comes back as all on.
    write_all_triggers(model == blinking(kAllLedsColor) ? kTriggerTimer : kTriggerNone);
    write_all_brightness(kBrightnessOn);
}

void flash_all_leds() {
    write_all_triggers(kTriggerNone);
    write_all_brightness(kBrightnessOff);
    usleep(kFlashStepUs);
    write_all_brightness(kBrightnessOn);
    usleep(kFlashStepUs);
    write_all_brightness(kBrightnessOff);
    restore_after_flash();
}

}  // namespace

int HAL_FrontPanelSetLedState(int led_index, int led_state) {
    __android_log_print(ANDROID_LOG_DEBUG, kFrontPanelTag, "%s:%s v%d(%d, %d)", kFrontPanelTag,
                        "HAL_FrontPanelSetLedState", kFrontPanelVersion, led_index, led_state);
    if (led_state < 0) return -1;

    if (led_index != 0 && led_color == kStandbyColor) {
        __android_log_print(ANDROID_LOG_DEBUG, kFrontPanelTag,
                            "%s: skip to set other LED in standby mode",
                            "HAL_FrontPanelSetLedState");
        return 0;
    }

    const LedRequest* request = find_led_request(led_index, led_state);
    if (request == nullptr) return 0;

    if (request->flash) {
        flash_all_leds();
        return 0;
    }
    if (current_led_model() == request->model_after) return 0;  // already in force

    write_led_pattern(request->pattern);
    led_color = request->model_after.color;
    led_steady = request->model_after.steady;
    save_property(led_index, led_state, request->model_after.color);
    return 0;
}
