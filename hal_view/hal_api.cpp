// SPDX-License-Identifier: Apache-2.0
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
    bool ok = true;
#define QUORIN_HAL_ENTRY_POINT(member, function, symbol, ...) \
    ok &= bind(handle_, &api_.member, symbol, &error_);
#define QUORIN_HAL_DATA(member, object, symbol) ok &= bind(handle_, &api_.member, symbol, &error_);
#include "entry_points.def"
    if (!ok) unload();
    return ok;
}

void HalLoader::unload() {
    if (handle_ == nullptr) return;
    dlclose(handle_);
    handle_ = nullptr;
    api_ = HalApi{};
}
