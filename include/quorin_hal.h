// Front-panel LED and microphone hardware support for the Quorin device.
//
// Plain C entry points return 0 on success and also for requests that are ignored or skipped;
// -1 only for a negative LED state or colour. Callers serialise all calls into the library.
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

#ifdef __cplusplus
}
#endif
