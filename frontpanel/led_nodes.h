// The front panel's LED attribute files and the write patterns built from them.
#pragma once

#include <cstddef>

enum class Led { kRemote, kGreen, kSys };
enum class LedAttribute { kBrightness, kTrigger };

// One write of a pattern: `value` to the attribute of the LED.
struct LedWrite {
    Led led;
    LedAttribute attribute;
    const char* value;
};

// An ordered series of at most six writes; unused slots have a null value.
constexpr size_t kMaxPatternWrites = 6;
struct LedPattern {
    LedWrite writes[kMaxPatternWrites];
};

constexpr LedWrite trigger(Led led, const char* value) {
    return {led, LedAttribute::kTrigger, value};
}

constexpr LedWrite brightness(Led led, const char* value) {
    return {led, LedAttribute::kBrightness, value};
}

// Triggers "none" on all three LEDs, then brightness r, g, s: a steady pattern.
constexpr LedPattern steady_pattern(const char* r, const char* g, const char* s) {
    return {{trigger(Led::kRemote, "none"), trigger(Led::kGreen, "none"), trigger(Led::kSys, "none"),
             brightness(Led::kRemote, r), brightness(Led::kGreen, g), brightness(Led::kSys, s)}};
}

// Path of the attribute file of an LED.
const char* led_node(Led led, LedAttribute attribute);

// Performs the pattern's writes in order, stopping at the first empty slot.
void write_led_pattern(const LedPattern& pattern);

// Writes "none"/"timer" to all three triggers, or a brightness to all three, in LED order.
void write_all_triggers(const char* value);
void write_all_brightness(const char* value);
