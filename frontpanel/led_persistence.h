// SPDX-License-Identifier: Apache-2.0
// The system-control client and the saved LED request, for the front panel's own entry points.
#pragma once

#include <SystemControlClient.h>
#include <utils/StrongPointer.h>

using SystemControlClientRef = android::sp<android::SystemControlClient>;

// The process's client, obtained once under its lock, as a strong reference for the caller's
// whole operation. getInstance() may hand out no client: then the result is empty, a line says
// that the property access of `function` is skipped, and the next call asks again.
SystemControlClientRef system_control_client_for(const char* function);

// The request part of the saved LED triple; its colour is only reported.
struct SavedRequest {
    int led_index;
    int led_state;
};

// Reads the saved triple through `client` (the led index with `index_default` when unset, the
// others with 0) and logs all three for `function`.
SavedRequest read_saved_request(android::SystemControlClient& client, const char* function,
                                int index_default);
