// Expected LED writes, spelled as the tests read them.
#pragma once

#include <vector>

#include "device_paths.h"
#include "fake_sysfs.h"

using fake_sysfs::Write;
using Writes = std::vector<Write>;

enum class L { kRemote, kGreen, kSys };

inline Write bright(L led, const char* value) {
    switch (led) {
        case L::kRemote:
            return {test_paths::kRemoteBrightness, value};
        case L::kGreen:
            return {test_paths::kGreenBrightness, value};
        case L::kSys:
            break;
    }
    return {test_paths::kSysBrightness, value};
}

inline Write trig(L led, const char* value) {
    switch (led) {
        case L::kRemote:
            return {test_paths::kRemoteTrigger, value};
        case L::kGreen:
            return {test_paths::kGreenTrigger, value};
        case L::kSys:
            break;
    }
    return {test_paths::kSysTrigger, value};
}

// Triggers of remote, green, sys.
inline Writes triggers(const char* value) {
    return {trig(L::kRemote, value), trig(L::kGreen, value), trig(L::kSys, value)};
}

// Brightness of remote, green, sys.
inline Writes brightness(const char* remote, const char* green, const char* sys) {
    return {bright(L::kRemote, remote), bright(L::kGreen, green), bright(L::kSys, sys)};
}

inline Writes operator+(Writes first, const Writes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}
