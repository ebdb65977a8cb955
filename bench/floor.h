// SPDX-License-Identifier: Apache-2.0
// The system-call floor: the same open, write, close sequences as the library's requests,
// written directly in C.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// One open (read-write, close-on-exec), write, close of `value` to `path`.
void floor_write(const char* path, const char* value);

// The writes of a steady pattern over `count` LEDs: "none" to each trigger file, then
// brightness[i] to each brightness file, both in LED order.
void floor_steady_pattern(const char* const trigger_files[], const char* const brightness_files[],
                          const char* const brightness[], size_t count);

#ifdef __cplusplus
}
#endif
