// SPDX-License-Identifier: Apache-2.0
// The named writes of an LED attribute and the patterns made of them: each pattern an ordered
// series of writes, performed exactly in its order.
#pragma once

#include <cstddef>
#include <initializer_list>

#include "panel_leds.h"

// One write of a pattern: `value` to the attribute of the LED.
struct LedWrite {
    Led led;
    LedAttribute attribute;
    const char* value;
};

constexpr LedWrite brightness_off(Led led) {
    return {led, LedAttribute::kBrightness, kBrightnessOff};
}

constexpr LedWrite brightness_on(Led led) {
    return {led, LedAttribute::kBrightness, kBrightnessOn};
}

constexpr LedWrite trigger_none(Led led) {
    return {led, LedAttribute::kTrigger, kTriggerNone};
}

constexpr LedWrite trigger_timer(Led led) {
    return {led, LedAttribute::kTrigger, kTriggerTimer};
}

// At most one write to each attribute; unused slots have a null value.
constexpr size_t kMaxPatternWrites = kLedCount * kLedAttributeCount;
struct LedPattern {
    LedWrite writes[kMaxPatternWrites];
};

constexpr LedPattern in_order(std::initializer_list<LedWrite> writes) {
    LedPattern pattern{};
    size_t n = 0;
    for (const LedWrite& write : writes) pattern.writes[n++] = write;
    return pattern;
}

// Triggers "none" on every LED, then the brightness of every LED: on for the LEDs in `lit`, off
// for the others. Both in LED order.
constexpr LedPattern steady_lighting(std::initializer_list<Led> lit) {
    LedPattern pattern{};
    size_t n = 0;
    for (Led led : kLeds) pattern.writes[n++] = trigger_none(led);
    for (Led led : kLeds) {
        bool on = false;
        for (Led lit_led : lit) on = on || lit_led == led;
        pattern.writes[n++] = on ? brightness_on(led) : brightness_off(led);
    }
    return pattern;
}

constexpr LedPattern steady_lighting_all() {
    LedPattern pattern{};
    size_t n = 0;
    for (Led led : kLeds) pattern.writes[n++] = trigger_none(led);
    for (Led led : kLeds) pattern.writes[n++] = brightness_on(led);
    return pattern;
}

// Triggers "timer" on every LED, in LED order; the brightness is left to the timer.
constexpr LedPattern blinking_all() {
    LedPattern pattern{};
    size_t n = 0;
    for (Led led : kLeds) pattern.writes[n++] = trigger_timer(led);
    return pattern;
}

// Whether every write of the pattern goes to an LED the library drives.
constexpr bool writes_driven_leds_only(const LedPattern& pattern) {
    for (const LedWrite& write : pattern.writes) {
        if (write.value != nullptr && !driven_by_library(write.led)) return false;
    }
    return true;
}
