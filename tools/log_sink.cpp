#include "log_sink.h"

#include <android/log.h>

#include <atomic>

namespace {

std::atomic<LogSink> current_sink{nullptr};

// The logger callback's signature differs between liblog releases: API 30 and later pass one
// message struct; the pre-release liblog packaged by Debian passes its data and the text apart.
#if defined(__ANDROID__)
void forward(const struct __android_log_message* message) {
    const LogSink sink = current_sink;
    if (sink != nullptr) sink(message->priority, message->tag, message->message);
}
constexpr auto kDefaultLogger = __android_log_logd_logger;
#else
void forward(const struct __android_logger_data* data, const char* message) {
    const LogSink sink = current_sink;
    if (sink != nullptr) sink(data->priority, data->tag, message);
}
constexpr auto kDefaultLogger = __android_log_stderr_logger;
#endif

}  // namespace

void install_log_sink(LogSink sink) {
    current_sink = sink;
    if (sink != nullptr) {
        __android_log_set_logger(forward);
        __android_log_set_minimum_priority(ANDROID_LOG_VERBOSE);
    } else {
        __android_log_set_logger(kDefaultLogger);
        __android_log_set_minimum_priority(ANDROID_LOG_INFO);
    }
}
