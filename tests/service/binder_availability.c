/* SPDX-License-Identifier: Apache-2.0
 * Compiled, not run, for an Android target of API 30 by clang: a function of API 31 is called
 * outside __builtin_available (QUORIN_REFUSED), which -Wunguarded-availability refuses as
 * Android 12's headers do, or inside it. */
#include <android/binder_parcel.h>

AParcel* make_parcel(void) {
#ifndef QUORIN_REFUSED
    if (__builtin_available(android 31, *))
#endif
        return AParcel_create();
#ifndef QUORIN_REFUSED
    return NULL;
#endif
}
