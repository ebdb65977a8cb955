// SPDX-License-Identifier: Apache-2.0
// Routes this process's Android log lines (the library's included) to functions of ours.
#pragma once

#include <string>

using LogSink = void (*)(int priority, const char* tag, const char* message);

// Installs `view` and then `pass_on` (either may be null) for every line of every priority;
// install_log_sink(nullptr) restores liblog's own logger.
void install_log_sink(LogSink view, LogSink pass_on = nullptr);

// The platform's own logger: logd on a device, where logcat shows the line. A workstation's liblog
// has no logd and drops it.
void platform_log(int priority, const char* tag, const char* message);

// One line as `logcat -v brief` prints it: "D/hal_mic ( 1234): text", the tag padded to eight
// characters, the message's own trailing newline dropped.
std::string brief_line(int priority, const char* tag, int pid, const char* message);
