// SPDX-License-Identifier: Apache-2.0
// Preloaded into halctl by its end-to-end test in place of liblog's logd writer: every line that
// would reach logd, and so logcat, is appended to the file named by LOGD_PROBE_FILE as
// "PRIORITY TAG MESSAGE".
#include <android/log.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" void __android_log_logd_logger(const struct __android_logger_data* data,
                                          const char* message) {
    const char* path = getenv("LOGD_PROBE_FILE");  // NOLINT(concurrency-mt-unsafe): test probe
    if (path == nullptr) return;
    FILE* file = fopen(path, "ae");
    if (file == nullptr) return;
    const size_t length = message != nullptr ? strcspn(message, "\n") : 0;
    (void)fprintf(file, "%d %s %.*s\n", data->priority, data->tag != nullptr ? data->tag : "",
                  static_cast<int>(length), message != nullptr ? message : "");
    (void)fclose(file);
}
