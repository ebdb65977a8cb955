// The system-call floor: the same open, write, close sequences as the library's requests,
// written directly in C.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// One open (read-write, close-on-exec), write, close of `value` to `path`.
void floor_write(const char* path, const char* value);

// The six writes of a steady pattern: triggers "none" (remote, green, sys), then brightness.
void floor_steady_pattern(const char* const led_files[6], const char* remote, const char* green,
                          const char* sys);

#ifdef __cplusplus
}
#endif
