// SPDX-License-Identifier: Apache-2.0
// The hosting service's life: start-up in a fixed order, registration, then serving on the main
// thread alone.
#pragma once

#include <chrono>

#include "hal_api.h"

constexpr const char* kServiceInstance = "vendor.quorin.hal.IQuorinHal/default";

struct StartupOptions {
    // How long to wait for the system-control service, and how often to look.
    int wait_rounds = 10;
    std::chrono::milliseconds wait_interval{1000};
};

// Waits for the system-control service: true once SystemControlClient::getInstance() hands out a
// client, false after `options.wait_rounds` looks. One log line per look that finds none.
bool wait_for_system_control(const StartupOptions& options);

// Brings the panel and the microphone into their start-up state: the saved LED request replayed,
// the microphone muted. A fault of a platform component is logged and start-up goes on.
void prepare_device(const HalApi& api);

// The whole life of the service: one binder thread, the waits and preparation above, then
// registration and serving. Returns only on failure (EXIT_FAILURE) or when the thread pool is
// stopped (the workstation's tests).
int run_service(const HalApi& api, const StartupOptions& options);
