// SPDX-License-Identifier: Apache-2.0
// halctl's log routing: every line to its stderr view and on to the platform's logger, and the
// brief format as logcat prints it.
#include "log_sink.h"

#include <android/log.h>
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex seen_mutex;
std::vector<std::string> seen;

void record(const char* who, int priority, const char* tag, const char* message) {
    std::lock_guard<std::mutex> guard(seen_mutex);
    seen.push_back(std::string(who) + " " + std::to_string(priority) + " " + tag + " " + message);
}

void view(int priority, const char* tag, const char* message) {
    record("view", priority, tag, message);
}

void platform(int priority, const char* tag, const char* message) {
    record("platform", priority, tag, message);
}

TEST(HalctlLogSink, EveryLineGoesToTheViewThenToThePlatform) {
    seen.clear();
    install_log_sink(view, platform);
    __android_log_print(ANDROID_LOG_DEBUG, "hal_mic", "%s<%s> ..\n", "hal_mic", "HAL_MicInit");
    __android_log_print(ANDROID_LOG_VERBOSE, "audio_patch", "quiet");
    __android_log_print(ANDROID_LOG_ERROR, "hal_frontpanel", "loud");
    install_log_sink(nullptr);
    __android_log_print(ANDROID_LOG_ERROR, "hal_mic", "after");  // liblog's own logger again
    EXPECT_EQ((std::vector<std::string>{
                      "view 3 hal_mic hal_mic<HAL_MicInit> ..\n",
                      "platform 3 hal_mic hal_mic<HAL_MicInit> ..\n",
                      "view 2 audio_patch quiet",
                      "platform 2 audio_patch quiet",
                      "view 6 hal_frontpanel loud",
                      "platform 6 hal_frontpanel loud",
              }),
              seen);
}

// Removing the sink puts back the minimum priority that was in force before it, liblog's default
// or one the host set, however often the sink was installed in between.
TEST(HalctlLogSink, RemovingTheSinkRestoresTheMinimumPriorityBeforeIt) {
    for (const int before :
         {static_cast<int>(ANDROID_LOG_DEFAULT), static_cast<int>(ANDROID_LOG_WARN)}) {
        __android_log_set_minimum_priority(before);
        install_log_sink(view, nullptr);
        install_log_sink(view, platform);
        EXPECT_EQ(ANDROID_LOG_VERBOSE, __android_log_get_minimum_priority());
        install_log_sink(nullptr);
        EXPECT_EQ(before, __android_log_get_minimum_priority());
    }
    __android_log_set_minimum_priority(ANDROID_LOG_DEFAULT);
}

TEST(HalctlLogSink, BriefFormatPadsTheTagToEight) {
    const struct {
        int priority;
        const char* tag;
        int pid;
        const char* message;
        const char* line;
    } cases[] = {
            {ANDROID_LOG_DEBUG, "hal_mic", 1234, "hal_mic<HAL_MicInit> ..\n",
             "D/hal_mic ( 1234): hal_mic<HAL_MicInit> .."},
            {ANDROID_LOG_INFO, "audio_patch", 7, "enableMicAudioPatch",
             "I/audio_patch(    7): enableMicAudioPatch"},
            {ANDROID_LOG_WARN, "abc", 123456, "w", "W/abc     (123456): w"},
            {ANDROID_LOG_ERROR, "12345678", 1, "exactly eight", "E/12345678(    1): exactly eight"},
            {ANDROID_LOG_FATAL, "", 1, "", "F/        (    1): "},
            {ANDROID_LOG_VERBOSE, "hal_frontpanel", 99, "two\n\n", "V/hal_frontpanel(   99): two\n"},
            {42, "hal_mic", 1, "odd priority", "?/hal_mic (    1): odd priority"},
            {ANDROID_LOG_DEBUG, nullptr, 1, nullptr, "D/        (    1): "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.line, brief_line(c.priority, c.tag, c.pid, c.message));
    }
}

}  // namespace
