#include "hal_api.h"

#include <dlfcn.h>

namespace {

template <typename Fn>
bool bind(void* handle, Fn* target, const char* name, std::string* error) {
    *target = reinterpret_cast<Fn>(dlsym(handle, name));
    if (*target == nullptr && error->empty()) *error = std::string("missing symbol ") + name;
    return *target != nullptr;
}

}  // namespace

bool HalLoader::load() {
    if (handle_ != nullptr) return true;
    error_.clear();
    handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        error_ = reason != nullptr ? reason : "dlopen failed";
        return false;
    }
    HalApi& a = api_;
    bool ok = true;
    ok &= bind(handle_, &a.SetLedState, "HAL_FrontPanelSetLedState", &error_);
    ok &= bind(handle_, &a.SetLedColor, "HAL_FrontPanelSetLedColor", &error_);
    ok &= bind(handle_, &a.Init, "HAL_FrontPanelInit", &error_);
    ok &= bind(handle_, &a.Deinit, "HAL_FrontPanelDeinit", &error_);
    ok &= bind(handle_, &a.GetVersion, "HAL_FrontPanelGetVersion", &error_);
    ok &= bind(handle_, &a.SetLedStateForVolume, "HAL_FrontPanelSetLedStateForVolume", &error_);
    ok &= bind(handle_, &a.SetBeamformingDegree, "HAL_FrontPanelSetBeamformingDegree", &error_);
    ok &= bind(handle_, &a.SaveProperty, "save_property", &error_);
    ok &= bind(handle_, &a.GetProperty, "get_property", &error_);
    ok &= bind(handle_, &a.MicGetVersion, "HAL_MicGetVersion", &error_);
    ok &= bind(handle_, &a.MicInit, "HAL_MicInit", &error_);
    ok &= bind(handle_, &a.MicDeinit, "HAL_MicDeinit", &error_);
    ok &= bind(handle_, &a.MicSetOnOff, "HAL_MicSetOnOff", &error_);
    ok &= bind(handle_, &a.MicGetOnOff, "HAL_MicGetOnOff", &error_);
    ok &= bind(handle_, &a.MicSetEchoLevel, "HAL_MicSetEchoLevel", &error_);
    ok &= bind(handle_, &a.MicGetEchoLevel, "HAL_MicGetEchoLevel", &error_);
    ok &= bind(handle_, &a.MicGetEchoMaxLevel, "HAL_MicGetEchoMaxLevel", &error_);
    ok &= bind(handle_, &a.MicSetVolume, "HAL_MicSetVolume", &error_);
    ok &= bind(handle_, &a.MicGetVolume, "HAL_MicGetVolume", &error_);
    ok &= bind(handle_, &a.MicPause, "HAL_MicPause", &error_);
    ok &= bind(handle_, &a.MicResume, "HAL_MicResume", &error_);
    ok &= bind(handle_, &a.EnableMicAudioPatch, "_ZN7android19enableMicAudioPatchEv", &error_);
    ok &= bind(handle_, &a.DisableMicAudioPatch, "_ZN7android20disableMicAudioPatchEv", &error_);
    ok &= bind(handle_, &a.IsMicAudioPatchEnabled, "_ZN7android22isMicAudioPatchEnabledEv", &error_);
    ok &= bind(handle_, &a.EnableMIC, "_Z9enableMICv", &error_);
    ok &= bind(handle_, &a.DisableMIC, "_Z10disableMICv", &error_);
    ok &= bind(handle_, &a.SetEchoDecayWeight, "_Z18setEchoDecayWeighti", &error_);
    ok &= bind(handle_, &a.AudioPort, "_ZN7android13aml_audioportE", &error_);
    if (!ok) unload();
    return ok;
}

void HalLoader::unload() {
    if (handle_ == nullptr) return;
    dlclose(handle_);
    handle_ = nullptr;
    api_ = HalApi{};
}
