// SPDX-License-Identifier: Apache-2.0
// Expected LED writes, spelled as the tests read them.
#pragma once

#include <string>
#include <vector>

#include "device_paths.h"
#include "fake_sysfs.h"

using fake_sysfs::Write;
using Writes = std::vector<Write>;

enum class L { kRemote, kGreen, kSys };

struct LedFiles {
    const char* brightness;
    const char* trigger;
};

// Indexed by L.
constexpr LedFiles kLedFiles[] = {
        {test_paths::kRemoteBrightness, test_paths::kRemoteTrigger},
        {test_paths::kGreenBrightness, test_paths::kGreenTrigger},
        {test_paths::kSysBrightness, test_paths::kSysTrigger},
};

inline Write bright(L led, const char* value) {
    return {kLedFiles[static_cast<int>(led)].brightness, value};
}

inline Write trig(L led, const char* value) {
    return {kLedFiles[static_cast<int>(led)].trigger, value};
}

// Triggers of remote, green, sys.
inline Writes triggers(const char* value) {
    return {trig(L::kRemote, value), trig(L::kGreen, value), trig(L::kSys, value)};
}

// Brightness of remote, green, sys.
inline Writes brightness(const char* remote, const char* green, const char* sys) {
    return {bright(L::kRemote, remote), bright(L::kGreen, green), bright(L::kSys, sys)};
}

// The writes one after another.
template <typename... More>
Writes joined(Writes first, const More&... more) {
    (first.insert(first.end(), more.begin(), more.end()), ...);
    return first;
}

// A whole-panel pattern: the three triggers, then the three brightness values.
inline Writes pattern(const char* trigger, const char* remote, const char* green, const char* sys) {
    return joined(triggers(trigger), brightness(remote, green, sys));
}

// What the writer does for each write, as the sandbox records it: one open, the one write and
// the close of that descriptor.
inline std::vector<std::string> open_write_close(const Writes& writes) {
    std::vector<std::string> calls;
    for (const Write& write : writes) {
        calls.push_back("open " + write.path);
        calls.push_back("write " + write.path + " " + write.bytes);
        calls.push_back("close " + write.path);
    }
    return calls;
}
