// SPDX-License-Identifier: Apache-2.0
#include "log_sink.h"

#include <android/log.h>

#include <atomic>
#include <cstdio>

namespace {

std::atomic<LogSink> current_view{nullptr};
std::atomic<LogSink> current_pass_on{nullptr};
// The minimum priority in force before the sink took over (liblog's own is ANDROID_LOG_DEFAULT),
// put back when the sink is removed.
int minimum_before_sink = ANDROID_LOG_DEFAULT;
bool sink_installed = false;

void deliver(int priority, const char* tag, const char* message) {
    const LogSink view = current_view;
    if (view != nullptr) view(priority, tag, message);
    const LogSink pass_on = current_pass_on;
    if (pass_on != nullptr) pass_on(priority, tag, message);
}

// The logger callback's signature differs between liblog releases: API 30 and later pass one
// message struct; the pre-release liblog packaged by Debian passes its data and the text apart.
#if defined(__ANDROID__)
void forward(const struct __android_log_message* message) {
    deliver(message->priority, message->tag, message->message);
}
constexpr auto kDefaultLogger = __android_log_logd_logger;
#else
void forward(const struct __android_logger_data* data, const char* message) {
    deliver(data->priority, data->tag, message);
}
constexpr auto kDefaultLogger = __android_log_stderr_logger;
#endif

}  // namespace

void install_log_sink(LogSink view, LogSink pass_on) {
    current_view = view;
    current_pass_on = pass_on;
    if (view != nullptr || pass_on != nullptr) {
        __android_log_set_logger(forward);
        const int before = __android_log_set_minimum_priority(ANDROID_LOG_VERBOSE);
        if (!sink_installed) minimum_before_sink = before;
        sink_installed = true;
    } else {
        __android_log_set_logger(kDefaultLogger);
        if (sink_installed) __android_log_set_minimum_priority(minimum_before_sink);
        sink_installed = false;
    }
}

void platform_log(int priority, const char* tag, const char* message) {
#if defined(__ANDROID__)
    __android_log_message line = {
            sizeof(__android_log_message), LOG_ID_MAIN, priority, tag, nullptr, 0, message};
    __android_log_logd_logger(&line);
#else
    __android_logger_data line = {
            sizeof(__android_logger_data), LOG_ID_MAIN, priority, tag, nullptr, 0};
    __android_log_logd_logger(&line, message);
#endif
}

std::string brief_line(int priority, const char* tag, int pid, const char* message) {
    static const char kLetters[] = "??VDIWEF";
    const char letter = priority >= 0 && priority < 8 ? kLetters[priority] : '?';
    std::string text = message != nullptr ? message : "";
    if (!text.empty() && text.back() == '\n') text.pop_back();
    std::string padded = tag != nullptr ? tag : "";
    if (padded.size() < 8) padded.resize(8, ' ');
    char pid_text[24];
    snprintf(pid_text, sizeof(pid_text), "(%5d): ", pid);
    return std::string(1, letter) + "/" + padded + pid_text + text;
}
