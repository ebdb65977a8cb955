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

  private:
    template <typename Fn>
    void bind(Fn* target, const char* name);

    void* handle_ = nullptr;
};
