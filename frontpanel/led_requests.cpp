// SPDX-License-Identifier: Apache-2.0
#include "led_requests.h"

namespace {

constexpr LedRequest led_requests[] = {
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

}  // namespace

const LedRequest* find_led_request(int led_index, int led_state) {
    for (const LedRequest& row : led_requests) {
        if (row.led_index == led_index && row.led_state == led_state) return &row;
    }
    return nullptr;
}
