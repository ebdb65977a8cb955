// The colour table: which writes a colour request makes on a steady and on a blinking panel.
#pragma once

#include "led_nodes.h"

struct LedColorPatterns {
    int color;
    LedPattern steady;
    LedPattern blinking;
};

// The patterns for the colour, or null for a colour that draws nothing (1 and any unlisted one).
const LedColorPatterns* find_color_patterns(int color);
