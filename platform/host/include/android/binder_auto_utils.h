// SPDX-License-Identifier: Apache-2.0
// Our reading of the NDK's C++ owners of binder objects (<android/binder_auto_utils.h> of
// Android 12), for the workstation builds only.
#pragma once

#include <android/binder_ibinder.h>
#include <android/binder_parcel.h>
#include <android/binder_status.h>

#include <cstddef>
#include <string>
#include <utility>

namespace ndk {

// One strong reference to a binder.
class SpAIBinder {
  public:
    SpAIBinder() = default;
    // Adopts a reference the caller already holds.
    explicit SpAIBinder(AIBinder* binder) : binder_(binder) {
    }
    SpAIBinder(std::nullptr_t) : SpAIBinder() {  // NOLINT(google-explicit-constructor)
    }
    SpAIBinder(const SpAIBinder& other) : binder_(other.binder_) {
        if (binder_ != nullptr) AIBinder_incStrong(binder_);
    }
    SpAIBinder(SpAIBinder&& other) noexcept : binder_(std::exchange(other.binder_, nullptr)) {
    }
    ~SpAIBinder() {
        set(nullptr);
    }
    SpAIBinder& operator=(const SpAIBinder& other) {
        if (this != &other) {
            if (other.binder_ != nullptr) AIBinder_incStrong(other.binder_);
            set(other.binder_);
        }
        return *this;
    }
    SpAIBinder& operator=(SpAIBinder&& other) noexcept {
        if (this != &other) set(std::exchange(other.binder_, nullptr));
        return *this;
    }

    // Drops the reference held and adopts `binder`'s.
    void set(AIBinder* binder) {
        AIBinder* old = std::exchange(binder_, binder);
        if (old != nullptr) AIBinder_decStrong(old);
    }
    AIBinder* get() const {
        return binder_;
    }
    // The pointer itself, to be set or taken from beneath: whoever replaces it takes over the
    // reference held and gives one for what it puts there.
    AIBinder** getR() {
        return &binder_;
    }
    bool operator==(const SpAIBinder& other) const {
        return binder_ == other.binder_;
    }
    bool operator!=(const SpAIBinder& other) const {
        return binder_ != other.binder_;
    }

  private:
    AIBinder* binder_ = nullptr;
};

namespace impl {

// Owns one object of a C type, deleted by `Destroy`.
template <typename T, void (*Destroy)(T*)>
class ScopedAResource {
  public:
    explicit ScopedAResource(T* t = nullptr) : t_(t) {
    }
    ~ScopedAResource() {
        reset();
    }
    ScopedAResource(const ScopedAResource&) = delete;
    ScopedAResource& operator=(const ScopedAResource&) = delete;
    ScopedAResource(ScopedAResource&& other) noexcept : t_(other.release()) {
    }
    ScopedAResource& operator=(ScopedAResource&& other) noexcept {
        if (this != &other) set(other.release());
        return *this;
    }

    void set(T* t) {
        T* old = std::exchange(t_, t);
        if (old != nullptr) Destroy(old);
    }
    void reset() {
        set(nullptr);
    }
    T* get() const {
        return t_;
    }
    // The pointer itself, to be set or taken from beneath (an in-out parameter such as
    // AIBinder_transact's): whoever replaces it owns what was there.
    T** getR() {
        return &t_;
    }
    T* release() {
        return std::exchange(t_, nullptr);
    }

  private:
    T* t_;
};

}  // namespace impl

class ScopedAParcel : public impl::ScopedAResource<AParcel, AParcel_delete> {
  public:
    explicit ScopedAParcel(AParcel* parcel = nullptr) : ScopedAResource(parcel) {
    }
};

// A status a method returns; empty (null) counts as not ok.
class ScopedAStatus : public impl::ScopedAResource<AStatus, AStatus_delete> {
  public:
    explicit ScopedAStatus(AStatus* status = nullptr) : ScopedAResource(status) {
    }

    bool isOk() const {
        return get() != nullptr && AStatus_isOk(get());
    }
    binder_exception_t getExceptionCode() const {
        return AStatus_getExceptionCode(get());
    }
    int32_t getServiceSpecificError() const {
        return AStatus_getServiceSpecificError(get());
    }
    binder_status_t getStatus() const {
        return AStatus_getStatus(get());
    }
    const char* getMessage() const {
        return AStatus_getMessage(get());
    }
    std::string getDescription() const {
        if (get() == nullptr) return "(not available)";
        const char* description = AStatus_getDescription(get());
        std::string text = description;
        AStatus_deleteDescription(description);
        return text;
    }

    static ScopedAStatus ok() {
        return ScopedAStatus(AStatus_newOk());
    }
    static ScopedAStatus fromExceptionCode(binder_exception_t exception) {
        return ScopedAStatus(AStatus_fromExceptionCode(exception));
    }
    static ScopedAStatus fromExceptionCodeWithMessage(binder_exception_t exception,
                                                      const char* message) {
        return ScopedAStatus(AStatus_fromExceptionCodeWithMessage(exception, message));
    }
    static ScopedAStatus fromServiceSpecificError(int32_t error) {
        return ScopedAStatus(AStatus_fromServiceSpecificError(error));
    }
    static ScopedAStatus fromServiceSpecificErrorWithMessage(int32_t error, const char* message) {
        return ScopedAStatus(AStatus_fromServiceSpecificErrorWithMessage(error, message));
    }
    static ScopedAStatus fromStatus(binder_status_t status) {
        return ScopedAStatus(AStatus_fromStatus(status));
    }
};

class ScopedAIBinder_Weak : public impl::ScopedAResource<AIBinder_Weak, AIBinder_Weak_delete> {
  public:
    explicit ScopedAIBinder_Weak(AIBinder_Weak* weak = nullptr) : ScopedAResource(weak) {
    }
    SpAIBinder promote() const {
        return SpAIBinder(AIBinder_Weak_promote(get()));
    }
};

}  // namespace ndk
