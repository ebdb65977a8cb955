// State and helpers shared by the front-panel sources.
#pragma once

#include <utils/Mutex.h>
#include <utils/StrongPointer.h>

#include "SystemControlClient.h"

constexpr const char* kFrontPanelTag = "hal_frontpanel";
constexpr int kFrontPanelVersion = 102;

// The LED model: colour code of the pattern in force, and whether it is steady (not blinking).
// Only the LED state and LED colour requests change it; it is never read back from the hardware.
extern int led_color;
extern bool led_steady;

// The process's system-control client, filled lazily under client_lock and then left alone until
// unload, so readers copy it without the lock once getSystemControlService() has returned.
extern android::Mutex client_lock;
extern android::sp<android::SystemControlClient> system_control_client;

// Fills system_control_client if it is still empty, under client_lock.
void getSystemControlService();

// getSystemControlService(), then a strong reference to the client for the caller's whole
// operation; when there is no client it logs, for `function`, that the property access is skipped.
android::sp<android::SystemControlClient> system_control_client_for(const char* function);
