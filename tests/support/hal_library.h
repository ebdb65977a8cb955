// The built library, loaded with dlopen and unloaded with dlclose, so that each load starts from
// the library's load-time state, as after a process restart.
#pragma once

#include <string>

#include "quorin_hal.h"

class HalLibrary {
  public:
    HalLibrary() = default;
    ~HalLibrary();
    HalLibrary(const HalLibrary&) = delete;
    HalLibrary& operator=(const HalLibrary&) = delete;

    static const char* path();
    // True while the library is mapped in this process (by anyone).
    static bool resident();

    void load();
    // dlclose, and a check that the library really left the process.
    void unload();
    void restart() {
        unload();
        load();
    }
    bool loaded() const {
        return handle_ != nullptr;
    }

    // A symbol of the loaded library, or null.
    void* symbol(const char* name) const;

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

  private:
    template <typename Fn>
    void bind(Fn* target, const char* name);

    void* handle_ = nullptr;
};
