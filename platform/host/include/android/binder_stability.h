// SPDX-License-Identifier: Apache-2.0
// Our reading of <android/binder_stability.h> of Android 12, for the workstation builds only.
#pragma once

#include <android/binder_ibinder.h>

__BEGIN_DECLS

enum {
    // A transaction coupled with the vendor image.
    FLAG_PRIVATE_VENDOR = 0x10000000,
};

// What "this compilation unit" means depends on the partition the code is built for: generated
// code passes FLAG_PRIVATE_LOCAL on every transaction and marks a binder of an interface that is
// not VINTF-stable with AIBinder_markCompilationUnitStability.
#if defined(__ANDROID_VENDOR__)

enum {
    FLAG_PRIVATE_LOCAL = FLAG_PRIVATE_VENDOR,
};

void AIBinder_markVendorStability(AIBinder* binder);

static inline void AIBinder_markCompilationUnitStability(AIBinder* binder) {
    AIBinder_markVendorStability(binder);
}

#else

enum {
    FLAG_PRIVATE_LOCAL = 0,
};

__attribute__((weak)) void AIBinder_markSystemStability(AIBinder* binder);

static inline void AIBinder_markCompilationUnitStability(AIBinder* binder) {
    if (AIBinder_markSystemStability == NULL) return;
    AIBinder_markSystemStability(binder);
}

#endif

// The binder may be used across partitions: its instance must be declared in the VINTF manifest
// to be registered. Code generated from a @VintfStability interface marks every binder it makes,
// when compiled with BINDER_STABILITY_SUPPORT (the interface library's own variants are).
void AIBinder_markVintfStability(AIBinder* binder);

__END_DECLS
