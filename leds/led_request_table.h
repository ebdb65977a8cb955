// SPDX-License-Identifier: Apache-2.0
// The table of LED state requests: what each (led index, LED state) pair draws and the model it
// leaves. A request is skipped when the model it would leave is already in force.
#pragma once

#include "led_model.h"
#include "led_patterns.h"

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

inline constexpr LedRequest kLedRequests[] = {
        // Led index 0 carries the panel's own states.
        request(0, 0).draws(steady_lighting({Led::kGreen})).leaving(steady(kStandbyColor)),
        request(0, 1).draws(steady_lighting_all()).leaving(steady(kAllLedsColor)),
        request(0, 4).draws(steady_lighting_all()).leaving(steady(kAllLedsColor)),
        request(0, 220).draws(steady_lighting({Led::kSys})).leaving(steady(kSysAloneColor)),
        // Led index 1: the remote LED blinking alone, or all steady.
        request(1, 200)
                .draws(in_order({brightness_off(Led::kGreen), brightness_off(Led::kSys),
                                 brightness_on(Led::kRemote), trigger_timer(Led::kRemote),
                                 trigger_none(Led::kGreen), trigger_none(Led::kSys)}))
                .leaving(blinking(kRemoteAloneColor)),
        request(1, 201).draws(steady_lighting_all()).leaving(steady(kAllLedsColor)),
        // One flash of all LEDs, then the pattern in force again.
        request(3, 2).flashes_all_leds(),
};

// The row for the pair, or null when the pair is not in the table.
constexpr const LedRequest* find_led_request(int led_index, int led_state) {
    for (const LedRequest& row : kLedRequests) {
        if (row.led_index == led_index && row.led_state == led_state) return &row;
    }
    return nullptr;
}

constexpr bool requests_write_driven_leds_only() {
    for (const LedRequest& row : kLedRequests) {
        if (!writes_driven_leds_only(row.pattern)) return false;
    }
    return true;
}
static_assert(requests_write_driven_leds_only(), "a request writes only the LEDs of kLeds");
