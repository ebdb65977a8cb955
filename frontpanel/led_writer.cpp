// SPDX-License-Identifier: Apache-2.0
#include "led_writer.h"

#include "attribute_writer.h"
#include "frontpanel_log.h"

void write_led_pattern(const LedPattern& pattern) {
    for (const LedWrite& step : pattern.writes) {
        if (step.value == nullptr) break;
        send_command(kFrontPanelTag, led_attribute_path(step.led, step.attribute), step.value);
    }
}

void write_all_triggers(const char* value) {
    for (Led led : kLeds) {
        send_command(kFrontPanelTag, led_attribute_path(led, LedAttribute::kTrigger), value);
    }
}

void write_all_brightness(const char* value) {
    for (Led led : kLeds) {
        send_command(kFrontPanelTag, led_attribute_path(led, LedAttribute::kBrightness), value);
    }
}
