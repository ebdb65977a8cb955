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

constexpr LedAttributePaths led_paths = compose_led_attribute_paths();

constexpr const char* path_of(Led led, LedAttribute attribute) {
    return led_paths.of[led_number(led)][static_cast<size_t>(attribute)].c_str();
}

constexpr LedFiles compose_led_files() {
    LedFiles files{};
    for (Led led : kLeds) {
        files.trigger[led_number(led)] = path_of(led, LedAttribute::kTrigger);
        files.brightness[led_number(led)] = path_of(led, LedAttribute::kBrightness);
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
    for (Led led : kLeds) {
        for (LedAttribute attribute : kLedAttributes) {
            create_file(path_of(led, attribute), kBrightnessOff);
        }
    }
    create_file(kAdcMutePath.c_str(), kAdcUnmuted);
    create_file(kAdcVolumePath.c_str(), std::to_string(kAdcVolumeRegisterLowest));
    return true;
}

}  // namespace bench
