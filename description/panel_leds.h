// SPDX-License-Identifier: Apache-2.0
// The front panel's LEDs: LED-class devices of the gpio-leds device "gpioleds", each with a
// brightness and a trigger attribute. The panel lists every LED it has, in the order the panel
// view draws them; the library drives the LEDs of kLeds, in kLeds' order, and every list that
// goes LED by LED through what the library writes follows that order.
#pragma once

#include <cstddef>

#include "device_path.h"

enum class Led { kRemote, kGreen, kSys };

struct PanelLed {
    Led led;
    const char* name;  // the LED-class name, the label of its gpio-leds child
};

constexpr PanelLed kPanelLeds[] = {
        {Led::kRemote, "remote_led"},
        {Led::kGreen, "green_led"},
        {Led::kSys, "sys_led"},
};
constexpr size_t kPanelLedCount = sizeof(kPanelLeds) / sizeof(kPanelLeds[0]);

// The LEDs the library drives: every pattern, the flash and the doctor's checks go through these.
constexpr Led kLeds[] = {Led::kRemote, Led::kGreen, Led::kSys};
constexpr size_t kLedCount = sizeof(kLeds) / sizeof(kLeds[0]);

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

// The LED's place in the panel's list, which follows the enumeration.
constexpr size_t panel_index(Led led) {
    return static_cast<size_t>(led);
}

constexpr bool panel_lists_leds_in_order() {
    for (size_t i = 0; i < kPanelLedCount; ++i) {
        if (panel_index(kPanelLeds[i].led) != i) return false;
    }
    return true;
}
static_assert(panel_lists_leds_in_order(), "kPanelLeds lists every Led once, in Led's order");

constexpr bool panel_has_every_driven_led() {
    for (Led led : kLeds) {
        if (panel_index(led) >= kPanelLedCount) return false;
    }
    return true;
}
static_assert(panel_has_every_driven_led(), "every LED the library drives is in kPanelLeds");

constexpr const char* led_name(Led led) {
    return kPanelLeds[panel_index(led)].name;
}

constexpr bool driven_by_library(Led led) {
    for (Led driven : kLeds) {
        if (driven == led) return true;
    }
    return false;
}

// Every attribute file of every LED of the panel, composed once.
struct LedAttributePaths {
    DevicePath of[kPanelLedCount][kLedAttributeCount];
};

constexpr LedAttributePaths compose_led_attribute_paths() {
    LedAttributePaths paths{};
    for (size_t led = 0; led < kPanelLedCount; ++led) {
        for (size_t attribute = 0; attribute < kLedAttributeCount; ++attribute) {
            paths.of[led][attribute] = device_path(
                    {kLedClassDir, kPanelLeds[led].name, "/", kLedAttributeNames[attribute]});
        }
    }
    return paths;
}

inline constexpr LedAttributePaths kLedAttributePaths = compose_led_attribute_paths();

// The lookup goes through pointers to the composed paths: reading a row of the table itself, picked
// at run time, GCC 12 takes for a read past an unterminated string (-Wstringop-overread).
struct LedAttributePathTexts {
    const char* of[kPanelLedCount][kLedAttributeCount];
};

constexpr LedAttributePathTexts compose_led_attribute_path_texts() {
    LedAttributePathTexts texts{};
    for (size_t led = 0; led < kPanelLedCount; ++led) {
        for (size_t attribute = 0; attribute < kLedAttributeCount; ++attribute) {
            texts.of[led][attribute] = kLedAttributePaths.of[led][attribute].c_str();
        }
    }
    return texts;
}
inline constexpr LedAttributePathTexts kLedAttributePathTexts = compose_led_attribute_path_texts();

// The attribute file of an LED: the one lookup of it, for the library and everything around it.
constexpr const char* led_attribute_path(Led led, LedAttribute attribute) {
    return kLedAttributePathTexts.of[panel_index(led)][static_cast<size_t>(attribute)];
}
