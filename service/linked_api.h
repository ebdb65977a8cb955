// SPDX-License-Identifier: Apache-2.0
// The library's entry points as the including executable links them (the service, and its fuzzer
// on a device), for the code that takes them as a table.
#pragma once

#include "hal_api.h"

inline HalApi linked_api() {
    HalApi api;
// NOLINTBEGIN(bugprone-macro-parentheses): a member's name, not an expression
#define QUORIN_HAL_ENTRY_POINT(member, function, ...) api.member = &function;
#define QUORIN_HAL_DATA(member, object, symbol) api.member = &object;
#include "entry_points.def"
    // NOLINTEND(bugprone-macro-parentheses)
    return api;
}
