// Attribute files of the ADC3101 audio ADC at I2C bus 0, address 0x18.
#pragma once

// "1" muted, "0" unmuted.
constexpr const char* kAdcMuteNode =
        "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018/adc3101_mute_ctl";
// Decimal text 12..32.
constexpr const char* kAdcVolumeNode =
        "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018/adc3101_vol_ctl";
