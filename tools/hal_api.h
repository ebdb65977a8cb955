// The library's entry points, resolved from a library loaded at run time, so that a tool can
// unload and reload it as a process restart would.
#pragma once

#include <string>

#include "quorin_hal.h"

struct HalApi {
    decltype(&HAL_FrontPanelSetLedState) SetLedState = nullptr;
    decltype(&HAL_FrontPanelSetLedColor) SetLedColor = nullptr;
    decltype(&HAL_FrontPanelInit) Init = nullptr;
    decltype(&HAL_FrontPanelDeinit) Deinit = nullptr;
    decltype(&HAL_FrontPanelGetVersion) GetVersion = nullptr;
    decltype(&HAL_FrontPanelSetLedStateForVolume) SetLedStateForVolume = nullptr;
    decltype(&HAL_FrontPanelSetBeamformingDegree) SetBeamformingDegree = nullptr;
    decltype(&save_property) SaveProperty = nullptr;
    decltype(&get_property) GetProperty = nullptr;

    decltype(&HAL_MicGetVersion) MicGetVersion = nullptr;
    decltype(&HAL_MicInit) MicInit = nullptr;
    decltype(&HAL_MicDeinit) MicDeinit = nullptr;
    decltype(&HAL_MicSetOnOff) MicSetOnOff = nullptr;
    decltype(&HAL_MicGetOnOff) MicGetOnOff = nullptr;
    decltype(&HAL_MicSetEchoLevel) MicSetEchoLevel = nullptr;
    decltype(&HAL_MicGetEchoLevel) MicGetEchoLevel = nullptr;
    decltype(&HAL_MicGetEchoMaxLevel) MicGetEchoMaxLevel = nullptr;
    decltype(&HAL_MicSetVolume) MicSetVolume = nullptr;
    decltype(&HAL_MicGetVolume) MicGetVolume = nullptr;
    decltype(&HAL_MicPause) MicPause = nullptr;
    decltype(&HAL_MicResume) MicResume = nullptr;

    // The audio path, under its mangled names.
    decltype(&android::enableMicAudioPatch) EnableMicAudioPatch = nullptr;
    decltype(&android::disableMicAudioPatch) DisableMicAudioPatch = nullptr;
    decltype(&android::isMicAudioPatchEnabled) IsMicAudioPatchEnabled = nullptr;
    decltype(&enableMIC) EnableMIC = nullptr;
    decltype(&disableMIC) DisableMIC = nullptr;
    decltype(&setEchoDecayWeight) SetEchoDecayWeight = nullptr;
    decltype(&android::aml_audioport) AudioPort = nullptr;
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
