// SPDX-License-Identifier: Apache-2.0
// Log lines of the library that several tests expect, spelled as the tests read them.
#pragma once

#include <string>

#include "log_capture.h"

constexpr int kDebug = 3;
constexpr int kInfo = 4;

// The entry line of HAL_FrontPanelSetLedState or HAL_FrontPanelSetLedColor with its two
// arguments.
inline LogLine entry_line(const char* function, int first, int second) {
    return {kDebug, "hal_frontpanel",
            std::string("hal_frontpanel:") + function + " v102(" + std::to_string(first) + ", " +
                    std::to_string(second) + ")"};
}

inline LogLine state_entry_line(int index, int state) {
    return entry_line("HAL_FrontPanelSetLedState", index, state);
}

inline LogLine color_entry_line(int index, int color) {
    return entry_line("HAL_FrontPanelSetLedColor", index, color);
}

inline const LogLine kSaveLine{kDebug, "hal_frontpanel",
                               "hal_frontpanel<save_property> in save_property..\n"};

inline const LogLine kEnablePatchLine{kInfo, "audio_patch", "enableMicAudioPatch"};
inline const LogLine kDisablePatchLine{kInfo, "audio_patch", "disableMicAudioPatch"};

// The text of the line a unit (tag hal_frontpanel or hal_mic) writes when a device file does not
// open.
inline std::string open_failure_text(const std::string& tag, const std::string& path) {
    return tag + "<Debug for write> fail to open file " + path + "\n";
}

inline LogLine open_failure(const std::string& tag, const std::string& path) {
    return {kDebug, tag, open_failure_text(tag, path)};
}
