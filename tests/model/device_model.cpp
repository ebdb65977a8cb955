// SPDX-License-Identifier: Apache-2.0
#include "device_model.h"

#include <algorithm>
#include <sstream>

#include "device_paths.h"

namespace {

// "rt=none gb=1 ..." -> write events. r/g/s name the LED, t/b its trigger or brightness.
std::vector<std::string> pattern(const std::string& writes) {
    std::vector<std::string> events;
    std::istringstream in(writes);
    for (std::string token; in >> token;) {
        const char led = token[0];
        const bool is_trigger = token[1] == 't';
        const std::string value = token.substr(3);
        const char* path = nullptr;
        if (led == 'r')
            path = is_trigger ? test_paths::kRemoteTrigger : test_paths::kRemoteBrightness;
        if (led == 'g')
            path = is_trigger ? test_paths::kGreenTrigger : test_paths::kGreenBrightness;
        if (led == 's') path = is_trigger ? test_paths::kSysTrigger : test_paths::kSysBrightness;
        events.push_back(std::string("write ") + path + " " + value);
    }
    return events;
}

void append(std::vector<std::string>* events, const std::vector<std::string>& more) {
    events->insert(events->end(), more.begin(), more.end());
}

struct Row {
    int index, state;
    int skip_color;
    bool skip_steady;
    const char* draw;
    int color;
    bool steady;
};

const char kAllSteady[] = "rt=none gt=none st=none rb=1 gb=1 sb=1";

const Row kRows[] = {
        {0, 0, 2, true, "rt=none gt=none st=none rb=0 gb=1 sb=0", 2, true},
        {0, 1, 10, true, kAllSteady, 10, true},
        {0, 4, 10, true, kAllSteady, 10, true},
        {0, 220, 1, true, "rt=none gt=none st=none rb=0 gb=0 sb=1", 1, true},
        {1, 200, 0, false, "gb=0 sb=0 rb=1 rt=timer gt=none st=none", 0, false},
        {1, 201, 10, true, kAllSteady, 10, true},
};

int clamp100(int value) {
    return std::min(100, std::max(0, value));
}

}  // namespace

std::string describe(const Call& call) {
    const auto one = [&](const char* name) {
        return std::string(name) + "(" + std::to_string(call.a) + ")";
    };
    const auto two = [&](const char* name) {
        return std::string(name) + "(" + std::to_string(call.a) + ", " + std::to_string(call.b) +
               ")";
    };
    switch (call.op) {
        case Op::kSetLedState:
            return two("HAL_FrontPanelSetLedState");
        case Op::kSetLedColor:
            return two("HAL_FrontPanelSetLedColor");
        case Op::kInit:
            return "HAL_FrontPanelInit()";
        case Op::kDeinit:
            return "HAL_FrontPanelDeinit()";
        case Op::kGetVersion:
            return "HAL_FrontPanelGetVersion()";
        case Op::kSaveProperty:
            return "save_property(" + std::to_string(call.a) + ", " + std::to_string(call.b) +
                   ", " + std::to_string(call.c) + ")";
        case Op::kGetProperty:
            return "get_property()";
        case Op::kMicSetOnOff:
            return one("HAL_MicSetOnOff");
        case Op::kMicSetVolume:
            return one("HAL_MicSetVolume");
        case Op::kMicGetVolume:
            return "HAL_MicGetVolume()";
        case Op::kMicSetEchoLevel:
            return one("HAL_MicSetEchoLevel");
        case Op::kMicGetEchoLevel:
            return "HAL_MicGetEchoLevel()";
        case Op::kEnableMIC:
            return "enableMIC()";
        case Op::kDisableMIC:
            return "disableMIC()";
        case Op::kEnablePatch:
            return "android::enableMicAudioPatch()";
        case Op::kDisablePatch:
            return "android::disableMicAudioPatch()";
        case Op::kIsPatchEnabled:
            return "android::isMicAudioPatchEnabled()";
        case Op::kSetEchoDecayWeight:
            return one("setEchoDecayWeight");
        case Op::kRestart:
            return "<restart: unload and reload the library>";
    }
    return "?";
}

int DeviceModel::saved_int(const std::string& key, int fallback) const {
    const auto it = props_.find(key);
    if (it == props_.end()) return fallback;
    try {
        size_t used = 0;
        const long long value = std::stoll(it->second, &used);
        if (used != it->second.size() || value < INT32_MIN || value > INT32_MAX) return fallback;
        return static_cast<int>(value);
    } catch (...) {
        return fallback;
    }
}

bool DeviceModel::patch_recorded() const {
    const auto it = props_.find("vendor.quorin.micstate");
    return it != props_.end() && !it->second.empty() && it->second[0] == '1';
}

void DeviceModel::set_mic_state(const char* value) {
    props_["vendor.quorin.micstate"] = value;
}

void DeviceModel::save(int index, int state, int color, Prediction* p) {
    const std::pair<const char*, int> fields[] = {{"vendor.quorin.ledindex", index},
                                                  {"vendor.quorin.ledstate", state},
                                                  {"vendor.quorin.ledcolor", color}};
    for (const auto& [key, value] : fields) {
        props_[key] = std::to_string(value);
        p->events.push_back(std::string("client.setProperty ") + key + "=" + std::to_string(value));
    }
}

void DeviceModel::led_state(int index, int state, Prediction* p) {
    if (state < 0) {
        p->result = -1;
        return;
    }
    if (index != 0 && color_ == 2) return;
    if (index == 3 && state == 2) {
        append(&p->events, pattern("rt=none gt=none st=none rb=0 gb=0 sb=0"));
        p->events.push_back("usleep 50000");
        append(&p->events, pattern("rb=1 gb=1 sb=1"));
        p->events.push_back("usleep 50000");
        append(&p->events, pattern("rb=0 gb=0 sb=0"));
        if (color_ == 0 && !steady_) {
            append(&p->events, pattern("rt=timer gt=none st=none rb=1 gb=0 sb=0"));
        } else if (color_ == 10 && !steady_) {
            append(&p->events, pattern("rt=timer gt=timer st=timer rb=1 gb=1 sb=1"));
        } else {
            append(&p->events, pattern(kAllSteady));
        }
        return;
    }
    for (const Row& row : kRows) {
        if (row.index != index || row.state != state) continue;
        if (color_ == row.skip_color && steady_ == row.skip_steady) return;
        append(&p->events, pattern(row.draw));
        color_ = row.color;
        steady_ = row.steady;
        save(index, state, row.color, p);
        return;
    }
}

void DeviceModel::led_color(int index, int color, Prediction* p) {
    if (color < 0) {
        p->result = -1;
        return;
    }
    if (color == 10)
        append(&p->events, pattern(steady_ ? kAllSteady : "rt=timer gt=timer st=timer"));
    if (color == 2)
        append(&p->events, pattern(steady_ ? "rb=0 sb=0 gt=none gb=1" : "rb=0 sb=0 gt=timer"));
    if (color == 0)
        append(&p->events, pattern(steady_ ? "sb=0 gb=0 rt=none rb=1" : "gb=0 sb=0 rt=timer"));
    color_ = color;
    save(index, steady_ ? 1 : 2, color, p);
}

Prediction DeviceModel::apply(const Call& call) {
    Prediction p;
    switch (call.op) {
        case Op::kSetLedState:
            led_state(call.a, call.b, &p);
            break;
        case Op::kSetLedColor:
            led_color(call.a, call.b, &p);
            break;
        case Op::kInit: {
            const int index = saved_int("vendor.quorin.ledindex", -1);
            if (index >= 0) led_state(index, saved_int("vendor.quorin.ledstate", 0), &p);
            p.result = 0;
            break;
        }
        case Op::kSaveProperty:
            save(call.a, call.b, call.c, &p);
            break;
        case Op::kMicSetOnOff:
            p.events.push_back(std::string("write ") + test_paths::kAdcMute +
                               (call.a != 0 ? " 1" : " 0"));
            if (call.a != 0 && patch_recorded()) {
                p.events.push_back("port.releaseAudioPatchTarsk");
                set_mic_state("0");
            } else if (call.a == 0 && !patch_recorded()) {
                p.events.push_back("port.createAudioPatchTarsk");
                set_mic_state("1");
            }
            break;
        case Op::kMicSetVolume:
            volume_ = clamp100(call.a);
            p.events.push_back(std::string("write ") + test_paths::kAdcVolume + " " +
                               std::to_string(12 + volume_ / 5));
            break;
        case Op::kMicGetVolume:
            p.result = volume_;
            break;
        case Op::kMicSetEchoLevel:
            echo_ = clamp100(call.a);
            p.events.push_back("port.setParameters audio_echo_decay=" + std::to_string(echo_));
            break;
        case Op::kMicGetEchoLevel:
            p.result = echo_;
            break;
        case Op::kEnableMIC:
            if (!patch_recorded()) {
                p.events.push_back("port.createAudioPatchTarsk");
                set_mic_state("1");
            }
            break;
        case Op::kEnablePatch:
            p.events.push_back("port.createAudioPatchTarsk");
            set_mic_state("1");
            break;
        case Op::kDisableMIC:
        case Op::kDisablePatch:
            if (patch_recorded()) {
                p.events.push_back("port.releaseAudioPatchTarsk");
                set_mic_state("0");
            }
            break;
        case Op::kIsPatchEnabled:
            p.result = patch_recorded() ? 1 : 0;
            break;
        case Op::kSetEchoDecayWeight:
            p.events.push_back("port.setParameters audio_echo_decay=" + std::to_string(call.a));
            break;
        case Op::kRestart:
            color_ = 10;
            steady_ = false;
            volume_ = 0;
            echo_ = 0;
            break;
        case Op::kDeinit:
        case Op::kGetVersion:
        case Op::kGetProperty:
            break;
    }
    return p;
}
