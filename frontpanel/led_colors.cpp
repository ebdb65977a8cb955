#include "led_colors.h"

namespace {

// On a steady panel the triggers of LEDs switched off are left alone; on a blinking one the
// brightness of the LED made to blink is left to its timer trigger.
constexpr LedColorPatterns led_colors[] = {
        {10,
         steady_pattern("1", "1", "1"),
         {{trigger(Led::kRemote, "timer"), trigger(Led::kGreen, "timer"),
           trigger(Led::kSys, "timer")}}},
        {2,
         {{brightness(Led::kRemote, "0"), brightness(Led::kSys, "0"), trigger(Led::kGreen, "none"),
           brightness(Led::kGreen, "1")}},
         {{brightness(Led::kRemote, "0"), brightness(Led::kSys, "0"),
           trigger(Led::kGreen, "timer")}}},
        {0,
         {{brightness(Led::kSys, "0"), brightness(Led::kGreen, "0"), trigger(Led::kRemote, "none"),
           brightness(Led::kRemote, "1")}},
         {{brightness(Led::kGreen, "0"), brightness(Led::kSys, "0"),
           trigger(Led::kRemote, "timer")}}},
};

}  // namespace

const LedColorPatterns* find_color_patterns(int color) {
    for (const LedColorPatterns& patterns : led_colors) {
        if (patterns.color == color) return &patterns;
    }
    return nullptr;
}
