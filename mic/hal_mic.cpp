// SPDX-License-Identifier: Apache-2.0
// The HAL_Mic entry points: mute through the ADC and the audio patch, capture volume on the ADC,
// echo level to the audio output port.
#include <android/log.h>

#include <algorithm>
#include <cstdio>

#include "adc3101.h"
#include "attribute_writer.h"
#include "log_only.h"
#include "quorin_hal.h"

namespace {

constexpr const char* kMicTag = "hal_mic";
constexpr int kMicVersion = 101;
constexpr int kMinEchoLevel = 0;
constexpr int kMaxEchoLevel = 100;

// Last values set, clamped to their ranges.
int mic_volume = 0;
int echo_level = 0;

void send_command(const char* path, const char* value) {
    ::send_command(kMicTag, path, value);
}

}  // namespace

int HAL_MicGetVersion(void) {
    __android_log_print(ANDROID_LOG_DEBUG, kMicTag, "%s<%s> version %d\n", kMicTag,
                        "HAL_MicGetVersion", kMicVersion);
    return 0;
}

int HAL_MicInit(void) {
    return log_only(kMicTag, "HAL_MicInit");
}

int HAL_MicDeinit(void) {
    return log_only(kMicTag, "HAL_MicDeinit");
}

int HAL_MicSetOnOff(int off) {
    __android_log_print(ANDROID_LOG_DEBUG, kMicTag, "%s:%s v%d(MIC=%s)", kMicTag, "HAL_MicSetOnOff",
                        kMicVersion, off != 0 ? "off" : "on");
    // The ADC first, then the audio patch, in both directions.
    if (off != 0) {
        send_command(kAdcMutePath.c_str(), kAdcMuted);
        disableMIC();
    } else {
        send_command(kAdcMutePath.c_str(), kAdcUnmuted);
        enableMIC();
    }
    return 0;
}

int HAL_MicGetOnOff(void) {
    return log_only(kMicTag, "HAL_MicGetOnOff");
}

int HAL_MicSetEchoLevel(int level) {
    __android_log_print(ANDROID_LOG_DEBUG, kMicTag, "%s<%s> ..level %d\n", kMicTag,
                        "HAL_MicSetEchoLevel", level);
    echo_level = std::clamp(level, kMinEchoLevel, kMaxEchoLevel);
    setEchoDecayWeight(echo_level);
    return 0;
}

int HAL_MicGetEchoLevel(void) {
    __android_log_print(ANDROID_LOG_DEBUG, kMicTag, "%s<%s> .. current level %d\n", kMicTag,
                        "HAL_MicGetEchoLevel", echo_level);
    return echo_level;
}

int HAL_MicGetEchoMaxLevel(void) {
    return log_only(kMicTag, "HAL_MicGetEchoMaxLevel", kLogOnlyFormatSpaced);
}

int HAL_MicSetVolume(int volume) {
    __android_log_print(ANDROID_LOG_DEBUG, kMicTag, "%s:%s v%d(volume=%d)", kMicTag,
                        "HAL_MicSetVolume", kMicVersion, volume);
    mic_volume = std::clamp(volume, kMicVolumeLowest, kMicVolumeHighest);
    char text[5] = {};
    // The value is 12..32; GCC cannot see that in unoptimised builds and warns of truncation.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-truncation"
#endif
    (void)snprintf(text, sizeof(text), "%d", adc_volume_register(mic_volume));
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
    send_command(kAdcVolumePath.c_str(), text);
    return 0;
}

int HAL_MicGetVolume(void) {
    __android_log_print(ANDROID_LOG_DEBUG, kMicTag, "%s:%s v%d(%d)", kMicTag, "HAL_MicGetVolume",
                        kMicVersion, mic_volume);
    return mic_volume;
}

int HAL_MicPause(void) {
    return log_only(kMicTag, "HAL_MicPause", kLogOnlyFormatSpaced);
}

int HAL_MicResume(void) {
    return log_only(kMicTag, "HAL_MicResume", kLogOnlyFormatSpaced);
}
