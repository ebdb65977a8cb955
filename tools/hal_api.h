// SPDX-License-Identifier: Apache-2.0
// The library's entry points, resolved from a library loaded at run time, so that a tool can
// unload and reload it as a process restart would.
#pragma once

#include <string>

#include "quorin_hal.h"

// Every entry point once: the member of HalApi, the function it stands for, and the symbol it is
// resolved by (the audio path's under their mangled names). The struct and the loader are both
// expanded from this list, so an entry point cannot be declared and left unresolved.
#define QUORIN_HAL_ENTRY_POINTS(X)                                                                \
    X(SetLedState, HAL_FrontPanelSetLedState, "HAL_FrontPanelSetLedState")                        \
    X(SetLedColor, HAL_FrontPanelSetLedColor, "HAL_FrontPanelSetLedColor")                        \
    X(Init, HAL_FrontPanelInit, "HAL_FrontPanelInit")                                             \
    X(Deinit, HAL_FrontPanelDeinit, "HAL_FrontPanelDeinit")                                       \
    X(GetVersion, HAL_FrontPanelGetVersion, "HAL_FrontPanelGetVersion")                           \
    X(SetLedStateForVolume, HAL_FrontPanelSetLedStateForVolume,                                   \
      "HAL_FrontPanelSetLedStateForVolume")                                                       \
    X(SetBeamformingDegree, HAL_FrontPanelSetBeamformingDegree,                                   \
      "HAL_FrontPanelSetBeamformingDegree")                                                       \
    X(SaveProperty, save_property, "save_property")                                               \
    X(GetProperty, get_property, "get_property")                                                  \
    X(MicGetVersion, HAL_MicGetVersion, "HAL_MicGetVersion")                                      \
    X(MicInit, HAL_MicInit, "HAL_MicInit")                                                        \
    X(MicDeinit, HAL_MicDeinit, "HAL_MicDeinit")                                                  \
    X(MicSetOnOff, HAL_MicSetOnOff, "HAL_MicSetOnOff")                                            \
    X(MicGetOnOff, HAL_MicGetOnOff, "HAL_MicGetOnOff")                                            \
    X(MicSetEchoLevel, HAL_MicSetEchoLevel, "HAL_MicSetEchoLevel")                                \
    X(MicGetEchoLevel, HAL_MicGetEchoLevel, "HAL_MicGetEchoLevel")                                \
    X(MicGetEchoMaxLevel, HAL_MicGetEchoMaxLevel, "HAL_MicGetEchoMaxLevel")                       \
    X(MicSetVolume, HAL_MicSetVolume, "HAL_MicSetVolume")                                         \
    X(MicGetVolume, HAL_MicGetVolume, "HAL_MicGetVolume")                                         \
    X(MicPause, HAL_MicPause, "HAL_MicPause")                                                     \
    X(MicResume, HAL_MicResume, "HAL_MicResume")                                                  \
    X(EnableMicAudioPatch, android::enableMicAudioPatch, "_ZN7android19enableMicAudioPatchEv")    \
    X(DisableMicAudioPatch, android::disableMicAudioPatch, "_ZN7android20disableMicAudioPatchEv") \
    X(IsMicAudioPatchEnabled, android::isMicAudioPatchEnabled,                                    \
      "_ZN7android22isMicAudioPatchEnabledEv")                                                    \
    X(EnableMIC, enableMIC, "_Z9enableMICv")                                                      \
    X(DisableMIC, disableMIC, "_Z10disableMICv")                                                  \
    X(SetEchoDecayWeight, setEchoDecayWeight, "_Z18setEchoDecayWeighti")                          \
    X(AudioPort, android::aml_audioport, "_ZN7android13aml_audioportE")

struct HalApi {
// NOLINTNEXTLINE(bugprone-macro-parentheses): a member's name, not an expression
#define QUORIN_HAL_MEMBER(member, function, symbol) decltype(&(function)) member = nullptr;
    QUORIN_HAL_ENTRY_POINTS(QUORIN_HAL_MEMBER)
#undef QUORIN_HAL_MEMBER
};

class HalLoader {
  public:
    explicit HalLoader(std::string path) : path_(std::move(path)) {
    }
    ~HalLoader() {
        unload();
    }
    HalLoader(const HalLoader&) = delete;
    HalLoader& operator=(const HalLoader&) = delete;

    const std::string& path() const {
        return path_;
    }
    // dlopen and resolve every entry point; false with error() set when either fails.
    bool load();
    void unload();
    bool loaded() const {
        return handle_ != nullptr;
    }
    const std::string& error() const {
        return error_;
    }
    const HalApi& api() const {
        return api_;
    }

  private:
    std::string path_;
    void* handle_ = nullptr;
    HalApi api_;
    std::string error_;
};
