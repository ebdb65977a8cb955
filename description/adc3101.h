// SPDX-License-Identifier: Apache-2.0
// The ADC3101 audio ADC at I2C bus 0, address 0x18: its codec driver's mute and volume
// attributes, and how a capture volume maps onto the volume register.
#pragma once

#include "device_path.h"

constexpr const char* kAdcDir =
        "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018/";
constexpr const char* kAdcMuteAttribute = "adc3101_mute_ctl";
constexpr const char* kAdcVolumeAttribute = "adc3101_vol_ctl";

constexpr DevicePath kAdcMutePath = device_path({kAdcDir, kAdcMuteAttribute});
constexpr DevicePath kAdcVolumePath = device_path({kAdcDir, kAdcVolumeAttribute});

constexpr const char* kAdcMuted = "1";
constexpr const char* kAdcUnmuted = "0";

// Capture volumes run 0..100; the register from 12 (volume 0..4) to 32 (volume 100), one step
// for every five.
constexpr int kMicVolumeLowest = 0;
constexpr int kMicVolumeHighest = 100;
constexpr int kAdcVolumeRegisterLowest = 12;
constexpr int kVolumePerAdcStep = 5;

// The register value for a volume already clamped to 0..100.
constexpr int adc_volume_register(int volume) {
    return kAdcVolumeRegisterLowest + volume / kVolumePerAdcStep;
}

constexpr int kAdcVolumeRegisterHighest = adc_volume_register(kMicVolumeHighest);

// The lowest volume that sets a register value of 12..32.
constexpr int lowest_volume_for_register(int register_value) {
    return (register_value - kAdcVolumeRegisterLowest) * kVolumePerAdcStep;
}
