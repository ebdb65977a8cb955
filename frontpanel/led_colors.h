// SPDX-License-Identifier: Apache-2.0
// The colour table: which writes a colour request makes on a steady and on a blinking panel.
#pragma once

#include "led_nodes.h"

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

// The writes for the colour on a steady or a blinking panel, or null for a colour that draws
// nothing (sys alone and any colour without a pattern of its own).
const LedPattern* find_color_pattern(int color, bool steady);
