#include "device_sandbox.h"

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace bench {

const char* const kLedFiles[6] = {
        "/sys/devices/platform/gpioleds/leds/remote_led/brightness",
        "/sys/devices/platform/gpioleds/leds/remote_led/trigger",
        "/sys/devices/platform/gpioleds/leds/green_led/brightness",
        "/sys/devices/platform/gpioleds/leds/green_led/trigger",
        "/sys/devices/platform/gpioleds/leds/sys_led/brightness",
        "/sys/devices/platform/gpioleds/leds/sys_led/trigger",
};
const char* const kAdcMute =
        "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018/adc3101_mute_ctl";
const char* const kAdcVolume =
        "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018/adc3101_vol_ctl";

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
    for (const char* path : kLedFiles) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path) << "0";
    }
    std::filesystem::create_directories(std::filesystem::path(kAdcMute).parent_path());
    std::ofstream(kAdcMute) << "0";
    std::ofstream(kAdcVolume) << "12";
    return true;
}

}  // namespace bench
