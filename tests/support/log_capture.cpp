// SPDX-License-Identifier: Apache-2.0
#include "log_capture.h"

#include <mutex>

#include "log_sink.h"

namespace {

std::mutex capture_mutex;
std::vector<LogLine> captured;

void keep(int priority, const char* tag, const char* message) {
    std::lock_guard<std::mutex> guard(capture_mutex);
    captured.push_back({priority, tag != nullptr ? tag : "", message != nullptr ? message : ""});
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const LogLine& line) {
    return out << "{" << line.priority << ", \"" << line.tag << "\", \"" << line.text << "\"}";
}

LogCapture::LogCapture() {
    clear();
    install_log_sink(keep);
}

LogCapture::~LogCapture() {
    install_log_sink(nullptr);
}

std::vector<LogLine> LogCapture::lines() const {
    std::lock_guard<std::mutex> guard(capture_mutex);
    return captured;
}

void LogCapture::clear() {
    std::lock_guard<std::mutex> guard(capture_mutex);
    captured.clear();
}
