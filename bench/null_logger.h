// SPDX-License-Identifier: Apache-2.0
// The benchmarks time the library and the service, not the log: every line is dropped.
#pragma once

#include <android/log.h>

namespace bench {

#if defined(__ANDROID__)
inline void drop_log_line(const struct __android_log_message*) {
}
#else
inline void drop_log_line(const struct __android_logger_data*, const char*) {
}
#endif

inline void install_null_logger() {
    __android_log_set_logger(drop_log_line);
}

}  // namespace bench
