#include "led_nodes.h"

#include "attribute_writer.h"
#include "frontpanel.h"

namespace {

struct LedNode {
    const char* brightness;
    const char* trigger;
};

// Linux LED class attributes of the gpio-leds device, in LED order remote, green, sys.
constexpr LedNode led_nodes[] = {
        {"/sys/devices/platform/gpioleds/leds/remote_led/brightness",
         "/sys/devices/platform/gpioleds/leds/remote_led/trigger"},
        {"/sys/devices/platform/gpioleds/leds/green_led/brightness",
         "/sys/devices/platform/gpioleds/leds/green_led/trigger"},
        {"/sys/devices/platform/gpioleds/leds/sys_led/brightness",
         "/sys/devices/platform/gpioleds/leds/sys_led/trigger"},
};

constexpr Led led_order[] = {Led::kRemote, Led::kGreen, Led::kSys};

}  // namespace

const char* led_node(Led led, LedAttribute attribute) {
    const LedNode& node = led_nodes[static_cast<int>(led)];
    return attribute == LedAttribute::kBrightness ? node.brightness : node.trigger;
}

void write_led_pattern(const LedPattern& pattern) {
    for (const LedWrite& step : pattern.writes) {
        if (step.value == nullptr) break;
        send_command(kFrontPanelTag, led_node(step.led, step.attribute), step.value);
    }
}

void write_all_triggers(const char* value) {
    for (Led led : led_order)
        send_command(kFrontPanelTag, led_node(led, LedAttribute::kTrigger), value);
}

void write_all_brightness(const char* value) {
    for (Led led : led_order) {
        send_command(kFrontPanelTag, led_node(led, LedAttribute::kBrightness), value);
    }
}
