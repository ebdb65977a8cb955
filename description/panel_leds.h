// SPDX-License-Identifier: Apache-2.0
// The front panel's LEDs: LED-class devices of the gpio-leds device "gpioleds", each with a
// brightness and a trigger attribute. Every list that goes LED by LED follows kLeds' order.
#pragma once

#include <cstddef>

#include "device_path.h"

enum class Led { kRemote, kGreen, kSys };
constexpr Led kLeds[] = {Led::kRemote, Led::kGreen, Led::kSys};
constexpr size_t kLedCount = sizeof(kLeds) / sizeof(kLeds[0]);

// The LED-class names, indexed by Led.
constexpr const char* kLedNames[kLedCount] = {"remote_led", "green_led", "sys_led"};
constexpr const char* kLedClassDir = "/sys/devices/platform/gpioleds/leds/";

enum class LedAttribute { kBrightness, kTrigger };
constexpr LedAttribute kLedAttributes[] = {LedAttribute::kBrightness, LedAttribute::kTrigger};
constexpr size_t kLedAttributeCount = sizeof(kLedAttributes) / sizeof(kLedAttributes[0]);
constexpr const char* kLedAttributeNames[kLedAttributeCount] = {"brightness", "trigger"};

// The values the library writes.
constexpr const char* kBrightnessOff = "0";
constexpr const char* kBrightnessOn = "1";
constexpr const char* kTriggerNone = "none";    // the LED follows its brightness
constexpr const char* kTriggerTimer = "timer";  // the kernel's timer trigger: the LED blinks

constexpr size_t led_number(Led led) {
    return static_cast<size_t>(led);
}

constexpr const char* led_name(Led led) {
    return kLedNames[led_number(led)];
}

constexpr DevicePath compose_led_attribute_path(Led led, LedAttribute attribute) {
    return device_path(
            {kLedClassDir, led_name(led), "/", kLedAttributeNames[static_cast<size_t>(attribute)]});
}

// Every attribute file of every LED, composed once.
struct LedAttributePaths {
    DevicePath of[kLedCount][kLedAttributeCount];
};

constexpr LedAttributePaths compose_led_attribute_paths() {
    LedAttributePaths paths{};
    for (Led led : kLeds) {
        for (LedAttribute attribute : kLedAttributes) {
            paths.of[led_number(led)][static_cast<size_t>(attribute)] =
                    compose_led_attribute_path(led, attribute);
        }
    }
    return paths;
}
