// The table of LED state requests: what each (led index, LED state) pair draws.
#pragma once

#include "led_nodes.h"

struct LedRequest {
    int led_index;
    int led_state;
    // The one-time flash: never skipped, changes no model, saves nothing.
    bool flash;
    // Skipped as already in force when led_color == skip_color and led_steady == skip_steady.
    int skip_color;
    bool skip_steady;
    LedPattern pattern;
    // The model afterwards; the saved triple is (led_index, led_state, new_color).
    int new_color;
    bool new_steady;
};

// The row for the pair, or null when the pair is not in the table.
const LedRequest* find_led_request(int led_index, int led_state);
