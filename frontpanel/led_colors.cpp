#include "led_colors.h"

#include "led_color_codes.h"

namespace {

// On a steady panel the triggers of LEDs switched off are left alone; on a blinking one the
// brightness of the LED made to blink is left to its timer trigger.
constexpr LedColorPatterns led_colors[] = {
        for_color(kAllLedsColor).steady_draws(steady_lighting_all()).blinking_draws(blinking_all()),
        for_color(kStandbyColor)
                .steady_draws(in_order({brightness_off(Led::kRemote), brightness_off(Led::kSys),
                                        trigger_none(Led::kGreen), brightness_on(Led::kGreen)}))
                .blinking_draws(in_order({brightness_off(Led::kRemote), brightness_off(Led::kSys),
                                          trigger_timer(Led::kGreen)})),
        for_color(kRemoteAloneColor)
                .steady_draws(in_order({brightness_off(Led::kSys), brightness_off(Led::kGreen),
                                        trigger_none(Led::kRemote), brightness_on(Led::kRemote)}))
                .blinking_draws(in_order({brightness_off(Led::kGreen), brightness_off(Led::kSys),
                                          trigger_timer(Led::kRemote)})),
};

}  // namespace

const LedPattern* find_color_pattern(int color, bool steady) {
    for (const LedColorPatterns& row : led_colors) {
        if (row.color == color) return steady ? &row.when_steady : &row.when_blinking;
    }
    return nullptr;
}
