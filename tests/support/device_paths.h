// SPDX-License-Identifier: Apache-2.0
// The device files of the library, spelled out independently of the library's own tables.
#pragma once

namespace test_paths {

constexpr const char kRemoteBrightness[] =
        "/sys/devices/platform/gpioleds/leds/remote_led/brightness";
constexpr const char kRemoteTrigger[] = "/sys/devices/platform/gpioleds/leds/remote_led/trigger";
constexpr const char kGreenBrightness[] =
        "/sys/devices/platform/gpioleds/leds/green_led/brightness";
constexpr const char kGreenTrigger[] = "/sys/devices/platform/gpioleds/leds/green_led/trigger";
constexpr const char kSysBrightness[] = "/sys/devices/platform/gpioleds/leds/sys_led/brightness";
constexpr const char kSysTrigger[] = "/sys/devices/platform/gpioleds/leds/sys_led/trigger";
constexpr const char kGreenDir[] = "/sys/devices/platform/gpioleds/leds/green_led";

constexpr const char kAdcMute[] =
        "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018/adc3101_mute_ctl";
constexpr const char kAdcVolume[] =
        "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018/adc3101_vol_ctl";

constexpr const char* kAllDeviceFiles[] = {
        kRemoteBrightness, kRemoteTrigger, kGreenBrightness, kGreenTrigger,
        kSysBrightness,    kSysTrigger,    kAdcMute,         kAdcVolume,
};

}  // namespace test_paths
