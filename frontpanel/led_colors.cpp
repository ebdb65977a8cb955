// SPDX-License-Identifier: Apache-2.0
#include "led_colors.h"

#include "led_color_codes.h"

namespace {

// On a steady panel the triggers of LEDs switched off are left alone; on a blinking one the
// brightness of the LED made to blink is left to its timer trigger.
constexpr LedColorPatterns led_colors[] = {
        {kAllLedsColor, when_steady(steady_lighting_all()), when_blinking(blinking_all())},
        {kStandbyColor,
         when_steady(in_order({brightness_off(Led::kRemote), brightness_off(Led::kSys),
                               trigger_none(Led::kGreen), brightness_on(Led::kGreen)})),
         when_blinking(in_order({brightness_off(Led::kRemote), brightness_off(Led::kSys),
                                 trigger_timer(Led::kGreen)}))},
        {kRemoteAloneColor,
         when_steady(in_order({brightness_off(Led::kSys), brightness_off(Led::kGreen),
                               trigger_none(Led::kRemote), brightness_on(Led::kRemote)})),
         when_blinking(in_order({brightness_off(Led::kGreen), brightness_off(Led::kSys),
                                 trigger_timer(Led::kRemote)}))},
};

}  // namespace

const LedPattern* find_color_pattern(int color, bool steady) {
    for (const LedColorPatterns& row : led_colors) {
        if (row.color == color) return steady ? &row.steady.pattern : &row.blinking.pattern;
    }
    return nullptr;
}
