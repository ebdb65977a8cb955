// SPDX-License-Identifier: Apache-2.0
// Our reading of <android/binder_parcel_utils.h> of Android 12, as far as generated code of an
// interface of primitive types needs it, for the workstation builds only.
#pragma once

#include <android/binder_auto_utils.h>
#include <android/binder_parcel.h>

#include <string>

namespace ndk {

inline binder_status_t AParcel_writeString(AParcel* parcel, const std::string& text) {
    return ::AParcel_writeString(parcel, text.c_str(), static_cast<int32_t>(text.size()));
}

inline binder_status_t AParcel_readString(const AParcel* parcel, std::string* text) {
    return ::AParcel_readString(parcel, text, [](void* data, int32_t length, char** buffer) {
        if (length <= 0) return false;  // a null string is not a std::string
        auto* out = static_cast<std::string*>(data);
        out->resize(static_cast<size_t>(length) - 1);
        *buffer = out->data();
        return true;
    });
}

inline binder_status_t AParcel_writeRequiredStrongBinder(AParcel* parcel, const SpAIBinder& binder) {
    if (binder.get() == nullptr) return STATUS_UNEXPECTED_NULL;
    return ::AParcel_writeStrongBinder(parcel, binder.get());
}

inline binder_status_t AParcel_readRequiredStrongBinder(const AParcel* parcel, SpAIBinder* binder) {
    AIBinder* read = nullptr;
    const binder_status_t status = ::AParcel_readStrongBinder(parcel, &read);
    if (status != STATUS_OK) return status;
    if (read == nullptr) return STATUS_UNEXPECTED_NULL;
    binder->set(read);
    return STATUS_OK;
}

}  // namespace ndk
