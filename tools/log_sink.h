// Routes this process's Android log lines (the library's included) to a function of ours.
#pragma once

using LogSink = void (*)(int priority, const char* tag, const char* message);

// Installs `sink` for every priority; null restores liblog's own logger.
void install_log_sink(LogSink sink);
