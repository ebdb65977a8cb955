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
    static_cast<HalApi&>(*this) = loader_.api();
}

void HalLibrary::unload() {
    if (!loader_.loaded()) return;
    loader_.unload();
    static_cast<HalApi&>(*this) = HalApi{};
    if (resident()) throw std::runtime_error("the library stayed in the process after dlclose");
}
