// SPDX-License-Identifier: Apache-2.0
// The LED model: what the front panel shows according to the requests performed since load. It
// is never read back from the hardware; only the LED state and LED colour requests change it.
#pragma once

#include "led_color_codes.h"

// A pattern in force: its colour code, and whether it is steady (not blinking).
struct LedModel {
    int color;
    bool steady;
};

constexpr bool operator==(LedModel a, LedModel b) {
    return a.color == b.color && a.steady == b.steady;
}

constexpr LedModel steady(int color) {
    return {color, true};
}

constexpr LedModel blinking(int color) {
    return {color, false};
}

// At load: all three LEDs blinking.
constexpr LedModel kInitialLedModel = blinking(kAllLedsColor);
