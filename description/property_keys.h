// SPDX-License-Identifier: Apache-2.0
// The system properties the library keeps: the last applied LED request (the LED triple, decimal
// text, set through the system-control service) and the recorded state of the microphone patch.
#pragma once

constexpr const char* kLedIndexProperty = "vendor.quorin.ledindex";
constexpr const char* kLedStateProperty = "vendor.quorin.ledstate";
constexpr const char* kLedColorProperty = "vendor.quorin.ledcolor";

// "1" after the patch was created, "0" after it was released; only the first character counts.
constexpr const char* kMicStateProperty = "vendor.quorin.micstate";
constexpr const char* kMicStateEnabled = "1";
constexpr const char* kMicStateDisabled = "0";
