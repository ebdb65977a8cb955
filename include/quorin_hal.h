// SPDX-License-Identifier: Apache-2.0
// Front-panel LED and microphone hardware support for the Quorin device.
//
// On a device one vendor service loads the library and serialises every call into it, the
// audio-path functions included: no entry point may run while another does. Failures inside
// (an attribute that does not open, no system-control client, a port that refuses a parameter)
// are logged and swallowed; callers are told nothing of them. The HAL_ entry points that act
// return 0 on success and also for requests that are ignored, skipped or refused, and -1 only
// for a negative LED state or colour. Of the getters, HAL_MicGetVolume and HAL_MicGetEchoLevel
// return the stored, clamped value (0..100); every other Get entry point returns 0.
// save_property and get_property return nothing. Every HAL_ entry point logs one line when it
// is called.
//
// The library's state lives in the process: the LED model (which pattern the library believes
// is in force), the microphone volume and echo level all start again at every load. The LED
// request and the microphone patch state are also kept in system properties, which outlive the
// process (but not a reboot) while the hardware and the patch go on as they were left.
#pragma once

#define QUORIN_HAL_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

// Front panel. A state request is a (led index, LED state) pair from a fixed table; pairs not in
// it return 0 and do nothing. It is skipped (0, nothing written or saved) when the pattern it
// draws is already in force by the library's model, and one with a non-zero led index is
// refused (0, one log line) while the panel is in standby (colour 2). A request performed is
// saved as (led index, LED state, colour) through save_property().
// (3, 2) flashes all LEDs once and puts back the pattern in force; it saves nothing and blocks
// the caller for about 100 ms (two sleeps of 50 ms).
// Returns -1 for a negative LED state, even in standby; otherwise 0.
QUORIN_HAL_EXPORT int HAL_FrontPanelSetLedState(int led_index, int led_state);
// Colour 10 = all LEDs, 2 = green alone (standby), 0 = remote alone, drawn steady or blinking as
// the pattern in force is; 1 (sys alone) and any other colour are recorded without drawing.
// Saves (led index, 1 when steady or 2 when blinking, colour). Returns -1 for a negative colour,
// otherwise 0.
QUORIN_HAL_EXPORT int HAL_FrontPanelSetLedColor(int led_index, int color);
// Call first in every new process, before any other front-panel request. At load the model says
// "all three LEDs blinking", whatever the panel shows; the standby guard and the skip rule work
// from that model. Init replays the saved (led index, LED state) as a state request, which
// draws the saved pattern and makes the model agree with it; the saved colour is only logged.
// With nothing saved (after a reboot, or on a fresh device) it replays nothing and the model
// stays at its load-time value. Returns 0.
QUORIN_HAL_EXPORT int HAL_FrontPanelInit(void);
// Logs only; returns 0. Nothing is released: the library holds nothing a caller must give back.
QUORIN_HAL_EXPORT int HAL_FrontPanelDeinit(void);
// Logs the module version (102); returns 0, not the version.
QUORIN_HAL_EXPORT int HAL_FrontPanelGetVersion(void);
// Accepted and ignored: they log and return 0.
QUORIN_HAL_EXPORT int HAL_FrontPanelSetLedStateForVolume(int volume);
QUORIN_HAL_EXPORT int HAL_FrontPanelSetBeamformingDegree(int degree);

// Saves the LED triple in vendor.quorin.ledindex, ledstate and ledcolor through the SoC
// vendor's system-control service, then logs. Without a client nothing is saved (one log line).
QUORIN_HAL_EXPORT void save_property(int led_index, int led_state, int color);
// Reads the saved LED triple and logs it; the values are not returned.
QUORIN_HAL_EXPORT void get_property(void);

// Microphone. Logs the module version (101); returns 0, not the version.
QUORIN_HAL_EXPORT int HAL_MicGetVersion(void);
// Log only; return 0.
QUORIN_HAL_EXPORT int HAL_MicInit(void);
QUORIN_HAL_EXPORT int HAL_MicDeinit(void);
// Any non-zero `off` mutes: the ADC first, then the microphone audio patch is released if one is
// recorded. Zero unmutes: the ADC first, then the patch is created unless one is recorded. The
// record (vendor.quorin.micstate) outlives the process, the patch does not: after a restart with
// a patch recorded, unmuting creates none, and muting releases one this process never created.
// Mute and unmute again to have a patch in the new process. Returns 0.
QUORIN_HAL_EXPORT int HAL_MicSetOnOff(int off);
// Returns 0 whatever the mute state; the recorded patch state is android::isMicAudioPatchEnabled().
QUORIN_HAL_EXPORT int HAL_MicGetOnOff(void);
// Clamps the level to 0..100, stores it and sends it to the audio output port as the echo-decay
// weight. A port failure is logged, not reported. Returns 0.
QUORIN_HAL_EXPORT int HAL_MicSetEchoLevel(int level);
// Returns the stored (clamped) echo level; 0 until one is set in this process.
QUORIN_HAL_EXPORT int HAL_MicGetEchoLevel(void);
// Returns 0, not the maximum level (which is 100).
QUORIN_HAL_EXPORT int HAL_MicGetEchoMaxLevel(void);
// Clamps the volume to 0..100, stores it and writes the ADC's volume register, 12 + volume / 5.
// Returns 0.
QUORIN_HAL_EXPORT int HAL_MicSetVolume(int volume);
// Returns the stored (clamped) volume; 0 until one is set in this process.
QUORIN_HAL_EXPORT int HAL_MicGetVolume(void);
// Log only; return 0.
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

// The library's audio output port, from load to unload. Leave it set: the patch functions use
// it without a test.
QUORIN_HAL_EXPORT extern sp<AmlAudioOutPort> aml_audioport;

// Creates the microphone audio patch, then records "1" in vendor.quorin.micstate, whatever is
// recorded already. Returns 0.
QUORIN_HAL_EXPORT int enableMicAudioPatch();
// Releases the patch and records "0", if "1" is recorded; otherwise does nothing. Returns 0.
QUORIN_HAL_EXPORT int disableMicAudioPatch();
// True when the recorded state begins with '1'. That is the record, which outlives the process:
// after a restart it can say true while this process has created no patch.
QUORIN_HAL_EXPORT bool isMicAudioPatchEnabled();

}  // namespace android

// enableMicAudioPatch() unless a patch is recorded. Returns 0.
QUORIN_HAL_EXPORT int enableMIC();
// disableMicAudioPatch(). Returns 0.
QUORIN_HAL_EXPORT int disableMIC();
// Sends "audio_echo_decay=<weight>" to the port, unclamped; failures (an empty port, a refused
// parameter, any std::exception) are logged, not reported. Exceptions not derived from
// std::exception reach the caller.
QUORIN_HAL_EXPORT void setEchoDecayWeight(int weight);
#endif
