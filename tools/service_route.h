// SPDX-License-Identifier: Apache-2.0
// halctl's LED and microphone requests through the hosting service, where it is registered: the
// commands its interface serves, each sent as the interface's method. Elsewhere (no service, or
// --force) halctl loads the library and calls the entry point itself.
#pragma once

#include <string>

#include "halctl_commands.h"

// Whether the hosting service's interface serves the command (led state, led color, the mute,
// the volume and the echo level, and their getters).
bool served_by_service(const CommandDef& def);

// The instance halctl looks for: vendor.quorin.hal.IQuorinHal/default.
std::string service_instance();

// Whether the instance is registered now. False in a build without the service's client.
bool service_registered();

// Sends a served command to the service: kExitOk, a getter's value printed; kExitMinusOne when
// the service refused the arguments, as the entry point's -1; kExitFailure when the call failed
// or the service is gone. What went wrong is on standard error.
int send_to_service(const Command& command);

// The line of `halctl show` and the doctor's check that say which way the requests go.
std::string request_path_text(bool force);
