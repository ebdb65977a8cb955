// SPDX-License-Identifier: Apache-2.0
#include "hal_library.h"

#include <dlfcn.h>

#include <stdexcept>

const char* HalLibrary::path() {
    return QUORIN_HAL_PATH;
}

bool HalLibrary::resident() {
    void* handle = dlopen(path(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}

void HalLibrary::load() {
    if (!loader_.load()) throw std::runtime_error(loader_.error());
}

void HalLibrary::unload() {
    if (!loader_.loaded()) return;
    loader_.unload();
    if (resident()) throw std::runtime_error("the library stayed in the process after dlclose");
}

const HalApi& HalLibrary::api() const {
    if (!loader_.loaded())
        throw std::logic_error("an entry point called with the library unloaded");
    return loader_.api();
}
