// SPDX-License-Identifier: Apache-2.0
// Compiled, not run: uses of the NDK binder's headers that Android 12's headers refuse, each
// selected by its macro and planted with QUORIN_REFUSED; without it, the use they accept.
#include <android/binder_ibinder.h>
#include <android/binder_manager.h>
#include <android/binder_process.h>
#include <android/binder_stability.h>
#include <android/binder_status.h>

#if defined(QUORIN_RESULT_OF)
// A call whose result must be used (warn_unused_result).
void call() {
#ifdef QUORIN_REFUSED
    QUORIN_RESULT_OF;
#else
    [[maybe_unused]] const auto kept = QUORIN_RESULT_OF;
#endif
}
#elif defined(QUORIN_POOL_QUERY)
// Android 12 has no ABinderProcess_isThreadPoolStarted.
bool call() {
#ifdef QUORIN_REFUSED
    return ABinderProcess_isThreadPoolStarted();
#else
    return ABinderProcess_setThreadPoolMaxThreadCount(0);
#endif
}
#elif defined(QUORIN_VENDOR_STABILITY)
// Vendor code (__ANDROID_VENDOR__) has the vendor image's own stability, not the system's.
static_assert(+FLAG_PRIVATE_LOCAL == +FLAG_PRIVATE_VENDOR && FLAG_PRIVATE_VENDOR == 0x10000000);
void call(AIBinder* binder) {
#ifdef QUORIN_REFUSED
    AIBinder_markSystemStability(binder);
#else
    AIBinder_markCompilationUnitStability(binder);
#endif
}
#elif defined(QUORIN_SYSTEM_STABILITY)
// Elsewhere a transaction's local flag is no flag.
static_assert(FLAG_PRIVATE_LOCAL == 0);
void call(AIBinder* binder) {
#ifdef QUORIN_REFUSED
    AIBinder_markVendorStability(binder);
#else
    AIBinder_markCompilationUnitStability(binder);
#endif
}
#endif
