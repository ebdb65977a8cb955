// System properties holding the last applied LED request (the LED triple).
#pragma once

constexpr const char* kLedIndexProperty = "vendor.quorin.ledindex";
constexpr const char* kLedStateProperty = "vendor.quorin.ledstate";
constexpr const char* kLedColorProperty = "vendor.quorin.ledcolor";
