// SPDX-License-Identifier: Apache-2.0
// Writes what the simulated device and the virtual board are made from, out of the device's
// description, so that an LED or an attribute added there reaches both:
//   describe_device umockdev [FILE]   the umockdev-run description of the device at power-up
//   describe_device leds [FILE]       "dir DIR" (the LED class directory of the panel's device),
//                                     "panel NAME..." (every LED of the panel, in its order) and
//                                     "driven NAME..." (those the library writes, in its order)
// on standard output or into FILE.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "adc3101.h"
#include "panel_leds.h"

namespace {

// What a kernel with the usual triggers built in lists in an LED's trigger attribute, the active
// one in brackets, so that `halctl doctor` finds the timer trigger as on a board.
constexpr const char* kTriggerList =
        "[none] rc-feedback kbd-scrolllock kbd-numlock kbd-capslock kbd-kanalock timer oneshot "
        "heartbeat backlight gpio default-on transient flash torch mmc0 mmc1";
constexpr const char* kGpioLedMaxBrightness = "1";  // a GPIO is on or off
constexpr const char* kAdcDriver = "adc3101";

// umockdev names a device by its path under /sys, without a trailing '/'.
std::string device_name(const std::string& sysfs_dir) {
    std::string name = sysfs_dir.substr(std::strlen("/sys"));
    if (!name.empty() && name.back() == '/') name.pop_back();
    return name;
}

std::string umockdev() {
    const std::string leds_dir = device_name(kLedClassDir);
    std::string out = "P: " + leds_dir.substr(0, leds_dir.rfind('/')) +
                      "\nE: SUBSYSTEM=platform\nE: DRIVER=leds-gpio\n";
    for (const PanelLed& led : kPanelLeds) {
        out += std::string("\nP: ") + leds_dir + "/" + led.name + "\nE: SUBSYSTEM=leds\nA: " +
               kLedAttributeNames[static_cast<size_t>(LedAttribute::kBrightness)] + "=" +
               kBrightnessOff + "\nA: max_brightness=" + kGpioLedMaxBrightness +
               "\nA: " + kLedAttributeNames[static_cast<size_t>(LedAttribute::kTrigger)] + "=" +
               kTriggerList + "\n";
    }
    out += "\nP: " + device_name(kAdcDir) + "\nE: SUBSYSTEM=i2c\nE: DRIVER=" + kAdcDriver +
           "\nA: name=" + kAdcDriver + "\nA: " + kAdcMuteAttribute + "=" + kAdcUnmuted +
           "\nA: " + kAdcVolumeAttribute + "=" + std::to_string(kAdcVolumeRegisterLowest) + "\n";
    return out;
}

std::string leds() {
    std::string out = std::string(kLedClassDir);
    out = "dir " + out.substr(0, out.size() - 1) + "\npanel";
    for (const PanelLed& led : kPanelLeds) out += std::string(" ") + led.name;
    out += "\ndriven";
    for (Led led : kLeds) out += std::string(" ") + led_name(led);
    return out + "\n";
}

}  // namespace

int main(int argc, char** argv) {
    const char* what = argc == 2 || argc == 3 ? argv[1] : "";
    std::string text;
    if (std::strcmp(what, "umockdev") == 0) {
        text = umockdev();
    } else if (std::strcmp(what, "leds") == 0) {
        text = leds();
    } else {
        fputs("usage: describe_device umockdev|leds [FILE]\n", stderr);
        return 2;
    }
    const char* name = argc == 3 ? argv[2] : "standard output";
    FILE* out = argc == 3 ? fopen(argv[2], "we") : stdout;
    if (out == nullptr) {
        fprintf(stderr, "describe_device: %s: %s\n", name, strerror(errno));
        return 1;
    }
    const bool written = fputs(text.c_str(), out) >= 0 && fflush(out) == 0;
    const int error = errno;
    if ((out != stdout && fclose(out) != 0) || !written) {
        fprintf(stderr, "describe_device: writing %s: %s\n", name,
                strerror(written ? errno : error));
        return 1;
    }
    return 0;
}
