#include "log_capture.h"

#include <android/log.h>

#include <mutex>

namespace {

std::mutex capture_mutex;
std::vector<LogLine> captured;

void keep(int priority, const char* tag, const char* message) {
    std::lock_guard<std::mutex> guard(capture_mutex);
    captured.push_back({priority, tag != nullptr ? tag : "", message != nullptr ? message : ""});
}

// The logger callback's signature differs between liblog releases: API 30 and later pass one
// message struct; the pre-release liblog packaged by Debian passes its data and the text apart.
#if defined(__ANDROID__)
void capture_logger(const struct __android_log_message* message) {
    keep(message->priority, message->tag, message->message);
}
void restore_logger() {
    __android_log_set_logger(__android_log_logd_logger);
}
#else
void capture_logger(const struct __android_logger_data* data, const char* message) {
    keep(data->priority, data->tag, message);
}
void restore_logger() {
    __android_log_set_logger(__android_log_stderr_logger);
}
#endif

}  // namespace

std::ostream& operator<<(std::ostream& out, const LogLine& line) {
    return out << "{" << line.priority << ", \"" << line.tag << "\", \"" << line.text << "\"}";
}

LogCapture::LogCapture() {
    clear();
    __android_log_set_logger(capture_logger);
    __android_log_set_minimum_priority(ANDROID_LOG_VERBOSE);
}

LogCapture::~LogCapture() {
    restore_logger();
    __android_log_set_minimum_priority(ANDROID_LOG_INFO);
}

std::vector<LogLine> LogCapture::lines() const {
    std::lock_guard<std::mutex> guard(capture_mutex);
    return captured;
}

std::vector<LogLine> LogCapture::lines_with_tag(const std::string& tag) const {
    std::vector<LogLine> matching;
    for (const LogLine& line : lines()) {
        if (line.tag == tag) matching.push_back(line);
    }
    return matching;
}

void LogCapture::clear() {
    std::lock_guard<std::mutex> guard(capture_mutex);
    captured.clear();
}
