// SPDX-License-Identifier: Apache-2.0
// LED colour codes: which pattern is in force, as the LED model holds it and the LED triple saves
// it. Any other non-negative code can be recorded by a colour request but has no pattern.
#pragma once

constexpr int kRemoteAloneColor = 0;  // remote_led alone
constexpr int kSysAloneColor = 1;     // sys_led alone (drawn only by a state request)
constexpr int kStandbyColor = 2;      // green_led alone: standby
constexpr int kAllLedsColor = 10;     // all three LEDs

// The LED state saved with a colour request: the character of the pattern in force.
constexpr int kSavedStateSteady = 1;
constexpr int kSavedStateBlinking = 2;

struct LedColorCode {
    int code;
    const char* meaning;
};

constexpr LedColorCode kLedColorCodes[] = {
        {kRemoteAloneColor, "remote_led alone"},
        {kSysAloneColor, "sys_led alone"},
        {kStandbyColor, "green_led alone, standby"},
        {kAllLedsColor, "all three LEDs"},
};

constexpr const char* kNoPatternMeaning = "no pattern of its own";

// A short description of the code, for people reading a saved request.
constexpr const char* led_color_meaning(int code) {
    for (const LedColorCode& color : kLedColorCodes) {
        if (color.code == code) return color.meaning;
    }
    return kNoPatternMeaning;
}
