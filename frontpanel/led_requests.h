// SPDX-License-Identifier: Apache-2.0
// The table of LED state requests: what each (led index, LED state) pair draws and the model it
// leaves. A request is skipped when the model it would leave is already in force.
#pragma once

#include "led_model.h"
#include "led_nodes.h"

struct LedRequest {
    int led_index;
    int led_state;
    // The one-time flash of all LEDs: never skipped, changes no model, saves nothing.
    bool flash;
    LedPattern pattern;
    // The model afterwards; the saved triple is (led_index, led_state, model_after.color).
    LedModel model_after;

    constexpr LedRequest draws(const LedPattern& drawn) const {
        LedRequest request = *this;
        request.pattern = drawn;
        return request;
    }

    constexpr LedRequest leaving(LedModel model) const {
        LedRequest request = *this;
        request.model_after = model;
        return request;
    }

    constexpr LedRequest flashes_all_leds() const {
        LedRequest request = *this;
        request.flash = true;
        return request;
    }
};

// A row's start: the pair it answers.
constexpr LedRequest request(int led_index, int led_state) {
    return {led_index, led_state, false, {}, {}};
}

// The row for the pair, or null when the pair is not in the table.
const LedRequest* find_led_request(int led_index, int led_state);
