// SPDX-License-Identifier: Apache-2.0
// The colour table: which writes a colour request makes on a steady and on a blinking panel.
#pragma once

#include "led_color_codes.h"
#include "led_patterns.h"

// The two columns of a row, each named where the row is written.
struct WhenSteady {
    LedPattern pattern;
};
struct WhenBlinking {
    LedPattern pattern;
};

constexpr WhenSteady when_steady(const LedPattern& pattern) {
    return {pattern};
}

constexpr WhenBlinking when_blinking(const LedPattern& pattern) {
    return {pattern};
}

struct LedColorPatterns {
    int color;
    WhenSteady steady;
    WhenBlinking blinking;
};

// On a steady panel the triggers of LEDs switched off are left alone; on a blinking one the
// brightness of the LED made to blink is left to its timer trigger.
inline constexpr LedColorPatterns kLedColors[] = {
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

// The writes for the colour on a steady or a blinking panel, or null for a colour that draws
// nothing (sys alone and any colour without a pattern of its own).
constexpr const LedPattern* find_color_pattern(int color, bool steady) {
    for (const LedColorPatterns& row : kLedColors) {
        if (row.color == color) return steady ? &row.steady.pattern : &row.blinking.pattern;
    }
    return nullptr;
}

constexpr bool colors_write_driven_leds_only() {
    for (const LedColorPatterns& row : kLedColors) {
        if (!writes_driven_leds_only(row.steady.pattern) ||
            !writes_driven_leds_only(row.blinking.pattern)) {
            return false;
        }
    }
    return true;
}
static_assert(colors_write_driven_leds_only(), "a colour writes only the LEDs of kLeds");
