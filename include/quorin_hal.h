// SPDX-License-Identifier: Apache-2.0
// Front-panel LED and microphone hardware support for the Quorin device.
//
// Plain C entry points return 0 on success and also for requests that are ignored or skipped;
// -1 only for a negative LED state or colour. The microphone getters return the stored value.
// Callers serialise all calls into the library, the audio-path functions included.
#pragma once

#define QUORIN_HAL_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

// Front panel: LED requests are (led index, LED state) pairs from a fixed table.
QUORIN_HAL_EXPORT int HAL_FrontPanelSetLedState(int led_index, int led_state);
// Colour 10 = all LEDs, 2 = green alone (standby), 0 = remote alone; others are recorded only.
QUORIN_HAL_EXPORT int HAL_FrontPanelSetLedColor(int led_index, int color);
// Replays the LED request saved before the last restart.
QUORIN_HAL_EXPORT int HAL_FrontPanelInit(void);
QUORIN_HAL_EXPORT int HAL_FrontPanelDeinit(void);
// Logs the module version; returns 0.
QUORIN_HAL_EXPORT int HAL_FrontPanelGetVersion(void);
// Accepted and ignored.
QUORIN_HAL_EXPORT int HAL_FrontPanelSetLedStateForVolume(int volume);
QUORIN_HAL_EXPORT int HAL_FrontPanelSetBeamformingDegree(int degree);

// Saves the LED triple as system properties; logs the saved triple.
QUORIN_HAL_EXPORT void save_property(int led_index, int led_state, int color);
QUORIN_HAL_EXPORT void get_property(void);

// Microphone. Volume and echo level are clamped to 0..100.
QUORIN_HAL_EXPORT int HAL_MicGetVersion(void);
QUORIN_HAL_EXPORT int HAL_MicInit(void);
QUORIN_HAL_EXPORT int HAL_MicDeinit(void);
// Any non-zero `off` mutes: the ADC first, then the microphone audio patch is released.
// Zero unmutes: the ADC first, then the patch is created unless one is recorded.
QUORIN_HAL_EXPORT int HAL_MicSetOnOff(int off);
QUORIN_HAL_EXPORT int HAL_MicGetOnOff(void);
QUORIN_HAL_EXPORT int HAL_MicSetEchoLevel(int level);
QUORIN_HAL_EXPORT int HAL_MicGetEchoLevel(void);
QUORIN_HAL_EXPORT int HAL_MicGetEchoMaxLevel(void);
QUORIN_HAL_EXPORT int HAL_MicSetVolume(int volume);
QUORIN_HAL_EXPORT int HAL_MicGetVolume(void);
QUORIN_HAL_EXPORT int HAL_MicPause(void);
QUORIN_HAL_EXPORT int HAL_MicResume(void);

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
#include <stdint.h>  // some releases of StrongPointer.h use uintptr_t without it
#include <utils/StrongPointer.h>

namespace android {

class AmlAudioOutPort;

// The library's audio output port, from load to unload.
QUORIN_HAL_EXPORT extern sp<AmlAudioOutPort> aml_audioport;

// Creates the microphone audio patch and records "1" in vendor.quorin.micstate.
QUORIN_HAL_EXPORT int enableMicAudioPatch();
// Releases the patch and records "0", if "1" is recorded; otherwise does nothing.
QUORIN_HAL_EXPORT int disableMicAudioPatch();
// True when the recorded state begins with '1'.
QUORIN_HAL_EXPORT bool isMicAudioPatchEnabled();

}  // namespace android

// enableMicAudioPatch() unless a patch is recorded.
QUORIN_HAL_EXPORT int enableMIC();
QUORIN_HAL_EXPORT int disableMIC();
// Sends "audio_echo_decay=<weight>" to the port; failures are logged, not reported. Exceptions
// not derived from std::exception reach the caller.
QUORIN_HAL_EXPORT void setEchoDecayWeight(int weight);
#endif
