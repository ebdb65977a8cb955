#include "hal_library.h"

#include <dlfcn.h>

#include <stdexcept>

HalLibrary::~HalLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

const char* HalLibrary::path() {
    return QUORIN_HAL_PATH;
}

bool HalLibrary::resident() {
    void* handle = dlopen(path(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}

template <typename Fn>
void HalLibrary::bind(Fn* target, const char* name) {
    *target = reinterpret_cast<Fn>(symbol(name));
    if (*target == nullptr) throw std::runtime_error(std::string("missing symbol ") + name);
}

void HalLibrary::load() {
    if (handle_ != nullptr) return;
    handle_ = dlopen(path(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) throw std::runtime_error(dlerror());
    bind(&SetLedState, "HAL_FrontPanelSetLedState");
    bind(&SetLedColor, "HAL_FrontPanelSetLedColor");
    bind(&Init, "HAL_FrontPanelInit");
    bind(&Deinit, "HAL_FrontPanelDeinit");
    bind(&GetVersion, "HAL_FrontPanelGetVersion");
    bind(&SetLedStateForVolume, "HAL_FrontPanelSetLedStateForVolume");
    bind(&SetBeamformingDegree, "HAL_FrontPanelSetBeamformingDegree");
    bind(&SaveProperty, "save_property");
    bind(&GetProperty, "get_property");
}

void HalLibrary::unload() {
    if (handle_ == nullptr) return;
    dlclose(handle_);
    handle_ = nullptr;
    if (resident()) throw std::runtime_error("the library stayed in the process after dlclose");
}

void* HalLibrary::symbol(const char* name) const {
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}
