// SPDX-License-Identifier: Apache-2.0
// The LED patterns written to the attribute files, one write at a time, in order.
#pragma once

#include "led_patterns.h"

// Performs the pattern's writes in order, stopping at the first empty slot.
void write_led_pattern(const LedPattern& pattern);

// Writes one value to the trigger, or to the brightness, of every LED in LED order.
void write_all_triggers(const char* value);
void write_all_brightness(const char* value);
