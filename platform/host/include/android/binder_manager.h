// SPDX-License-Identifier: Apache-2.0
// Our reading of <android/binder_manager.h> of Android 12, for the workstation builds only. On the
// workstation the service manager lives in the process: every binder it hands out is a proxy, as
// a client in another process receives it.
#pragma once

#include <android/binder_ibinder.h>
#include <android/binder_status.h>
#include <android/versioning.h>

__BEGIN_DECLS

// EX_NONE once registered. A name taken, a malformed name, a null binder, or a VINTF binder whose
// instance the device manifest does not declare are refused.
__attribute__((warn_unused_result)) binder_exception_t AServiceManager_addService(
        AIBinder* binder, const char* instance) __INTRODUCED_IN(29);
// A strong reference the caller owns, or null: checkService does not wait, getService waits a
// little (deprecated on the device), waitForService waits until the instance is registered.
__attribute__((warn_unused_result)) AIBinder* AServiceManager_checkService(const char* instance)
        __INTRODUCED_IN(29);
__attribute__((warn_unused_result)) AIBinder* AServiceManager_getService(const char* instance)
        __INTRODUCED_IN(29);
__attribute__((warn_unused_result)) AIBinder* AServiceManager_waitForService(const char* instance)
        __INTRODUCED_IN(31);

__END_DECLS
