// The built library, loaded with dlopen and unloaded with dlclose, so that each load starts from
// the library's load-time state, as after a process restart. Its entry points are the HalApi
// members, valid while loaded.
#pragma once

#include "hal_api.h"

class HalLibrary : public HalApi {
  public:
    static const char* path();
    // True while the library is mapped in this process (by anyone).
    static bool resident();

    // Both throw std::runtime_error on failure; unload() also when the library stays resident.
    void load();
    void unload();
    void restart() {
        unload();
        load();
    }

  private:
    HalLoader loader_{path()};
};
