// SPDX-License-Identifier: Apache-2.0
// On a workstation, what halctl needs from the simulator; nothing on a device.
#pragma once

#include <string>

// A one-line summary of the simulated audio port's record; "" on a device.
std::string simulated_port_summary();

// Whether halctl runs on the simulated device (a workstation): only that one can halctl reboot.
bool simulated_device();
// Reboots the simulated device: properties not named persist.* are lost. False when the
// simulated property store could not be rewritten.
bool simulated_reboot();
