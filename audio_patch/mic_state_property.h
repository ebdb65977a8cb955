// The recorded state of the microphone audio patch: "1" after it was created, "0" after it was
// released. Only the first character counts.
#pragma once

constexpr const char* kMicStateProperty = "vendor.quorin.micstate";
