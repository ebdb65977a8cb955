// SPDX-License-Identifier: Apache-2.0
// The library's hosting service on a device: while init runs it, the service drives the panel,
// the microphone and the audio patch, and halctl's changes would fight it.
#pragma once

#include <string>

// The init service and the property init keeps its state in ("running", "restarting",
// "stopped", ...). The property is readable where halctl runs, unlike the service's /proc.
constexpr const char* kHostServiceName = "vendor.quorin.hal";
constexpr const char* kHostServiceStateProperty = "init.svc.vendor.quorin.hal";

// Whether a service in this state holds the device: running, about to run again, or not yet
// exited after being stopped.
bool host_service_active(const std::string& state);

// The service's state as init reports it now; empty where there is no such service.
std::string host_service_state();

// The refusal of a command that changes the device while the service holds it: names the
// service, its state and how to stop it.
std::string host_service_refusal(const std::string& command, const std::string& state);
