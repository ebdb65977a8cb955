// SPDX-License-Identifier: Apache-2.0
// A reference model of what the library does, written apart from it and in another form: the
// LED request and colour tables as pattern strings, the microphone as plain arithmetic. For each
// call it predicts the result and the ordered events that reach the platform: device writes,
// sleeps, property sets through the client, and audio port calls.
#pragma once

#include <map>
#include <string>
#include <vector>

enum class Op {
    kSetLedState,
    kSetLedColor,
    kInit,
    kDeinit,
    kGetVersion,
    kSaveProperty,
    kGetProperty,
    kMicSetOnOff,
    kMicSetVolume,
    kMicGetVolume,
    kMicSetEchoLevel,
    kMicGetEchoLevel,
    kEnableMIC,
    kDisableMIC,
    kEnablePatch,
    kDisablePatch,
    kIsPatchEnabled,
    kSetEchoDecayWeight,
    kRestart,
};

struct Call {
    Op op;
    int a = 0, b = 0, c = 0;
};

std::string describe(const Call& call);

struct Prediction {
    int result = 0;                   // the call's result (0 for void calls)
    std::vector<std::string> events;  // journal lines, in order
};

class DeviceModel {
  public:
    // A freshly powered device: nothing saved, no patch recorded, the library just loaded.
    DeviceModel() = default;

    Prediction apply(const Call& call);

    // The properties the device holds now.
    std::map<std::string, std::string> properties() const {
        return props_;
    }

  private:
    void led_state(int index, int state, Prediction* p);
    void led_color(int index, int color, Prediction* p);
    void save(int index, int state, int color, Prediction* p);
    void set_mic_state(const char* value);
    bool patch_recorded() const;
    int saved_int(const std::string& key, int fallback) const;

    // Lives in the library: lost on restart.
    int color_ = 10;
    bool steady_ = false;
    int volume_ = 0;
    int echo_ = 0;
    // Lives in properties: kept.
    std::map<std::string, std::string> props_;
};
