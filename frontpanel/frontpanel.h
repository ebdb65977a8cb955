// State and helpers shared by the front-panel sources.
#pragma once

constexpr const char* kFrontPanelTag = "hal_frontpanel";
constexpr int kFrontPanelVersion = 102;

// The LED model: colour code of the pattern in force, and whether it is steady (not blinking).
// Only the LED state and LED colour requests change it; it is never read back from the hardware.
extern int led_color;
extern bool led_steady;

// Reads the saved LED triple through the client, holding it for the whole read, and logs it
// for `function`; the colour is only logged. False (and a log line) when there is no client.
bool read_led_triple(const char* function, int index_default, int* index, int* state);
