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
    bind(&MicGetVersion, "HAL_MicGetVersion");
    bind(&MicInit, "HAL_MicInit");
    bind(&MicDeinit, "HAL_MicDeinit");
    bind(&MicSetOnOff, "HAL_MicSetOnOff");
    bind(&MicGetOnOff, "HAL_MicGetOnOff");
    bind(&MicSetEchoLevel, "HAL_MicSetEchoLevel");
    bind(&MicGetEchoLevel, "HAL_MicGetEchoLevel");
    bind(&MicGetEchoMaxLevel, "HAL_MicGetEchoMaxLevel");
    bind(&MicSetVolume, "HAL_MicSetVolume");
    bind(&MicGetVolume, "HAL_MicGetVolume");
    bind(&MicPause, "HAL_MicPause");
    bind(&MicResume, "HAL_MicResume");
    bind(&EnableMicAudioPatch, "_ZN7android19enableMicAudioPatchEv");
    bind(&DisableMicAudioPatch, "_ZN7android20disableMicAudioPatchEv");
    bind(&IsMicAudioPatchEnabled, "_ZN7android22isMicAudioPatchEnabledEv");
    bind(&EnableMIC, "_Z9enableMICv");
    bind(&DisableMIC, "_Z10disableMICv");
    bind(&SetEchoDecayWeight, "_Z18setEchoDecayWeighti");
    bind(&AudioPort, "_ZN7android13aml_audioportE");
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
