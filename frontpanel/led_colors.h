// The colour table: which writes a colour request makes on a steady and on a blinking panel.
#pragma once

#include "led_nodes.h"

struct LedColorPatterns {
    int color;
    LedPattern when_steady;
    LedPattern when_blinking;

    constexpr LedColorPatterns steady_draws(const LedPattern& pattern) const {
        LedColorPatterns patterns = *this;
        patterns.when_steady = pattern;
        return patterns;
    }

    constexpr LedColorPatterns blinking_draws(const LedPattern& pattern) const {
        LedColorPatterns patterns = *this;
        patterns.when_blinking = pattern;
        return patterns;
    }
};

// A row's start: the colour it answers.
constexpr LedColorPatterns for_color(int code) {
    return {code, {}, {}};
}

// The writes for the colour on a steady or a blinking panel, or null for a colour that draws
// nothing (sys alone and any colour without a pattern of its own).
const LedPattern* find_color_pattern(int color, bool steady);
