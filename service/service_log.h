// SPDX-License-Identifier: Apache-2.0
// The tag of the hosting service's own log lines (the library logs under its units' tags).
#pragma once

constexpr const char* kServiceLogTag = "vendor.quorin.hal-service";
