// SPDX-License-Identifier: Apache-2.0
// The hosting service's life: start-up in a fixed order, registration, then serving on the main
// thread alone.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "hal_api.h"

constexpr const char* kServiceInstance = "vendor.quorin.hal.IQuorinHal/default";

struct StartupOptions {
    // How long to wait for the system-control service, on the steady clock from the first look,
    // and the pause between looks.
    std::chrono::milliseconds wait_deadline{10000};
    std::chrono::milliseconds wait_interval{1000};
    // How long dump() waits for the caller's descriptor to take its text (dumpsys gives up after
    // 10 s; a caller that reads takes the text at once).
    std::chrono::milliseconds dump_timeout{2000};
};

// Waits for the system-control service: true once SystemControlClient::getInstance() hands out a
// client, false once `options.wait_deadline` has passed. A look under way is finished, however
// long it takes; none begins after the deadline.
bool wait_for_system_control(const StartupOptions& options);

// Brings the panel and the microphone into their start-up state: the saved LED request replayed,
// the microphone muted. A fault of a platform component is logged and start-up goes on. Returns
// what, read back, disagrees with that state (each also logged), for the dump.
std::vector<std::string> prepare_device(const HalApi& api);

// The whole life of the service: one binder thread, the wait above, registration, the
// preparation, then serving. Returns only on failure (EXIT_FAILURE) or when the thread pool is
// stopped (the workstation's tests).
int run_service(const HalApi& api, const StartupOptions& options);
