// The device files at their real paths, on a tmpfs mounted over /sys/devices/platform in a
// private mount namespace of this process (root only). The library runs unmodified.
#pragma once

#include <string>

namespace bench {

extern const char* const kLedFiles[6];  // remote, green, sys: brightness then trigger
extern const char* const kAdcMute;
extern const char* const kAdcVolume;

// False, with a reason, when the namespace or the mount cannot be made.
bool make_device_sandbox(std::string* error);

}  // namespace bench
