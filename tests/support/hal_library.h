// SPDX-License-Identifier: Apache-2.0
// The built library, loaded with dlopen and unloaded with dlclose, so that each load starts from
// the library's load-time state, as after a process restart. Its entry points are reached through
// `->` while it is loaded.
#pragma once

#include "hal_api.h"

class HalLibrary {
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

    // The entry points of the loaded library; std::logic_error when it is not loaded, rather than
    // a call through a null pointer.
    const HalApi& api() const;
    const HalApi* operator->() const {
        return &api();
    }

  private:
    HalLoader loader_{path()};
};
