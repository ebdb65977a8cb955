// SPDX-License-Identifier: Apache-2.0
// HAL_FrontPanelSetLedColor: the chosen LEDs take over the character (steady or blinking) of
// the pattern in force.
#include <android/log.h>

#include "frontpanel_log.h"
#include "led_color_table.h"
#include "led_model_state.h"
#include "led_writer.h"
#include "quorin_hal.h"

int HAL_FrontPanelSetLedColor(int led_index, int color) {
    __android_log_print(ANDROID_LOG_DEBUG, kFrontPanelTag, "%s:%s v%d(%d, %d)", kFrontPanelTag,
                        "HAL_FrontPanelSetLedColor", kFrontPanelVersion, led_index, color);
    if (color < 0) return -1;

    const LedPattern* pattern = find_color_pattern(color, led_steady);
    if (pattern != nullptr) write_led_pattern(*pattern);

    led_color = color;
    save_property(led_index, led_steady ? kSavedStateSteady : kSavedStateBlinking, color);
    return 0;
}
