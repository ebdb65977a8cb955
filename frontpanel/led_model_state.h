// SPDX-License-Identifier: Apache-2.0
// The LED model in force in this process, which the LED state and LED colour requests change.
#pragma once

#include "led_model.h"

// The model's two fields, shared by the LED state and LED colour requests.
extern int led_color;
extern bool led_steady;

inline LedModel current_led_model() {
    return {led_color, led_steady};
}
