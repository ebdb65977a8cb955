#include "led_requests.h"

namespace {

// clang-format off
constexpr LedRequest led_requests[] = {
    // Standby: green alone.
    {0, 0,   false, 2,  true,  steady_pattern("0", "1", "0"), 2,  true},
    // All three steady.
    {0, 1,   false, 10, true,  steady_pattern("1", "1", "1"), 10, true},
    {0, 4,   false, 10, true,  steady_pattern("1", "1", "1"), 10, true},
    // sys alone.
    {0, 220, false, 1,  true,  steady_pattern("0", "0", "1"), 1,  true},
    // remote blinking alone.
    {1, 200, false, 0,  false, {{brightness(Led::kGreen, "0"), brightness(Led::kSys, "0"),
                                 brightness(Led::kRemote, "1"), trigger(Led::kRemote, "timer"),
                                 trigger(Led::kGreen, "none"), trigger(Led::kSys, "none")}},
                                                                  0,  false},
    {1, 201, false, 10, true,  steady_pattern("1", "1", "1"), 10, true},
    // One flash of all LEDs, then the pattern in force again.
    {3, 2,   true,  0,  false, {},                            0,  false},
};
// clang-format on

}  // namespace

const LedRequest* find_led_request(int led_index, int led_state) {
    for (const LedRequest& request : led_requests) {
        if (request.led_index == led_index && request.led_state == led_state) return &request;
    }
    return nullptr;
}
