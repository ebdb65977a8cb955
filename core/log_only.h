// SPDX-License-Identifier: Apache-2.0
// The one line of an entry point that does nothing but log its call, in either unit.
#pragma once

#include <android/log.h>

// Both forms of the line: most entry points end "..", a few ".. " (with a blank).
constexpr const char* kLogOnlyFormat = "%s<%s> ..\n";
constexpr const char* kLogOnlyFormatSpaced = "%s<%s> .. \n";

// Logs `function` under `tag` in `format` (one of the two above) and returns the entry point's
// result, 0.
inline int log_only(const char* tag, const char* function, const char* format = kLogOnlyFormat) {
    __android_log_print(ANDROID_LOG_DEBUG, tag, format, tag, function);
    return 0;
}
