// HAL_FrontPanelSetLedColor: the chosen LEDs take over the character (steady or blinking) of
// the pattern in force.
#include <android/log.h>

#include "frontpanel.h"
#include "led_colors.h"
#include "quorin_hal.h"

namespace {

constexpr int kSavedStateSteady = 1;
constexpr int kSavedStateBlinking = 2;

}  // namespace

int HAL_FrontPanelSetLedColor(int led_index, int color) {
    __android_log_print(ANDROID_LOG_DEBUG, kFrontPanelTag, "%s:%s v%d(%d, %d)", kFrontPanelTag,
                        "HAL_FrontPanelSetLedColor", kFrontPanelVersion, led_index, color);
    if (color < 0) return -1;

    const LedColorPatterns* patterns = find_color_patterns(color);
    if (patterns != nullptr) write_led_pattern(led_steady ? patterns->steady : patterns->blinking);

    led_color = color;
    save_property(led_index, led_steady ? kSavedStateSteady : kSavedStateBlinking, color);
    return 0;
}
