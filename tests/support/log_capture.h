// SPDX-License-Identifier: Apache-2.0
// Captures the Android log lines written in this process through liblog's own logger hook.
#pragma once

#include <ostream>
#include <string>
#include <vector>

struct LogLine {
    int priority;
    std::string tag;
    std::string text;
    bool operator==(const LogLine& other) const {
        return priority == other.priority && tag == other.tag && text == other.text;
    }
};
std::ostream& operator<<(std::ostream& out, const LogLine& line);

class LogCapture {
  public:
    // Installs the capturing logger and lets every priority through.
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<LogLine> lines() const;
    void clear();
};
