// HAL_FrontPanelSetLedState: request lookup, skip, standby guard, flash-and-restore.
#include <android/log.h>
#include <unistd.h>

#include "frontpanel.h"
#include "led_nodes.h"
#include "led_requests.h"
#include "quorin_hal.h"

// Constant-initialised: the model at load is all three LEDs blinking.
int led_color = 10;
bool led_steady = false;

namespace {

constexpr int kStandbyColor = 2;
constexpr useconds_t kFlashStepUs = 50000;

// Puts back the pattern that the model says is in force; the flash itself changed nothing in it.
void restore_after_flash() {
    if (led_color == 0 && !led_steady) {
        write_led_pattern({{trigger(Led::kRemote, "timer"), trigger(Led::kGreen, "none"),
                            trigger(Led::kSys, "none"), brightness(Led::kRemote, "1"),
                            brightness(Led::kGreen, "0"), brightness(Led::kSys, "0")}});
        return;
    }
    // Every other model (colour 1, or a colour with no pattern of its own) comes back as all on.
    write_all_triggers(led_color == 10 && !led_steady ? "timer" : "none");
    write_all_brightness("1");
}

void flash_all_leds() {
    write_all_triggers("none");
    write_all_brightness("0");
    usleep(kFlashStepUs);
    write_all_brightness("1");
    usleep(kFlashStepUs);
    write_all_brightness("0");
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
    if (led_color == request->skip_color && led_steady == request->skip_steady) return 0;

    write_led_pattern(request->pattern);
    led_color = request->new_color;
    led_steady = request->new_steady;
    save_property(led_index, led_state, request->new_color);
    return 0;
}
