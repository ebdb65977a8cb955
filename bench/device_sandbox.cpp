// SPDX-License-Identifier: Apache-2.0
#include "device_sandbox.h"

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "adc3101.h"

namespace bench {
namespace {

constexpr LedFiles compose_led_files() {
    LedFiles files{};
    for (size_t i = 0; i < kLedCount; ++i) {
        files.trigger[i] = led_attribute_path(kLeds[i], LedAttribute::kTrigger);
        files.brightness[i] = led_attribute_path(kLeds[i], LedAttribute::kBrightness);
    }
    return files;
}

void create_file(const char* path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << text;
}

}  // namespace

const LedFiles kLedFiles = compose_led_files();

bool make_device_sandbox(std::string* error) {
    if (unshare(CLONE_NEWNS) != 0) {
        *error = std::string("unshare(CLONE_NEWNS): ") + strerror(errno) + " (run as root)";
        return false;
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", "/sys/devices/platform", "tmpfs", 0, "mode=0755") != 0) {
        *error = std::string("mount: ") + strerror(errno);
        return false;
    }
    for (const PanelLed& led : kPanelLeds) {
        for (LedAttribute attribute : kLedAttributes) {
            create_file(led_attribute_path(led.led, attribute), kBrightnessOff);
        }
    }
    create_file(kAdcMutePath.c_str(), kAdcUnmuted);
    create_file(kAdcVolumePath.c_str(), std::to_string(kAdcVolumeRegisterLowest));
    return true;
}

}  // namespace bench
