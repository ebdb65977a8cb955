// SPDX-License-Identifier: Apache-2.0
// Compiled, not run: uses of the interface's generated code that Android 12's aidl does not allow,
// each selected by its macro and planted with QUORIN_REFUSED; without it, the use it allows. With
// QUORIN_SERVICE_LINK, a whole program with a service class, linked against the interface
// library: with RTTI it needs the stub's type_info, which a library built without RTTI lacks.
#include <aidl/vendor/quorin/hal/BnQuorinHal.h>
#include <aidl/vendor/quorin/hal/BpQuorinHal.h>
#include <aidl/vendor/quorin/hal/IQuorinHal.h>

using aidl::vendor::quorin::hal::BnQuorinHal;
using aidl::vendor::quorin::hal::BpQuorinHal;
using aidl::vendor::quorin::hal::IQuorinHal;

#if defined(QUORIN_META_CODES)
// Only the interface's own methods have a TRANSACTION_ constant.
#ifdef QUORIN_REFUSED
constexpr uint32_t code = IQuorinHal::TRANSACTION_getInterfaceHash;
#else
constexpr uint32_t code = IQuorinHal::TRANSACTION_getMicEchoLevel;
#endif
static_assert(IQuorinHal::TRANSACTION_setLedState == FIRST_CALL_TRANSACTION);
#elif defined(QUORIN_PROXY_CONVERSION)
// The proxy's constructor is explicit: a binder does not become a proxy on its own.
void take(const BpQuorinHal& proxy);
void call(const ndk::SpAIBinder& binder) {
#ifdef QUORIN_REFUSED
    take(binder);
#else
    take(*ndk::SharedRefBase::make<BpQuorinHal>(binder));
#endif
}
#elif defined(QUORIN_DEFAULT_IMPL)
// setDefaultImpl takes a const reference to the implementation.
#ifdef QUORIN_REFUSED
bool (*const set)(std::shared_ptr<IQuorinHal>) = &IQuorinHal::setDefaultImpl;
#else
bool (*const set)(const std::shared_ptr<IQuorinHal>&) = &IQuorinHal::setDefaultImpl;
#endif
#elif defined(QUORIN_SERVICE_LINK)
namespace {

struct Service : BnQuorinHal {
    ndk::ScopedAStatus setLedState(int32_t, int32_t) override {
        return ok();
    }
    ndk::ScopedAStatus setLedColor(int32_t, int32_t) override {
        return ok();
    }
    ndk::ScopedAStatus setMicMuted(bool) override {
        return ok();
    }
    ndk::ScopedAStatus setMicVolume(int32_t) override {
        return ok();
    }
    ndk::ScopedAStatus getMicVolume(int32_t*) override {
        return ok();
    }
    ndk::ScopedAStatus setMicEchoLevel(int32_t) override {
        return ok();
    }
    ndk::ScopedAStatus getMicEchoLevel(int32_t*) override {
        return ok();
    }
    static ndk::ScopedAStatus ok() {
        return ndk::ScopedAStatus::ok();
    }
};

}  // namespace

int main() {
    return ndk::SharedRefBase::make<Service>()->asBinder().get() != nullptr ? 0 : 1;
}
#endif
