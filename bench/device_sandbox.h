// SPDX-License-Identifier: Apache-2.0
// The device files at their real paths, on a tmpfs mounted over /sys/devices/platform in a
// private mount namespace of this process (root only). The library runs unmodified.
#pragma once

#include <string>

#include "panel_leds.h"

namespace bench {

// The LED attribute files in LED order, as the library composes them.
struct LedFiles {
    const char* trigger[kLedCount];
    const char* brightness[kLedCount];
};
extern const LedFiles kLedFiles;

// False, with a reason, when the namespace or the mount cannot be made.
bool make_device_sandbox(std::string* error);

}  // namespace bench
