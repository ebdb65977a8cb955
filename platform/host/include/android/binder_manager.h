// SPDX-License-Identifier: Apache-2.0
// Our reading of <android/binder_manager.h> of Android 12, for the workstation builds only. On the
// workstation the service manager lives in the process: every binder it hands out is a proxy, as
// a client in another process receives it.
#pragma once

#include <android/binder_ibinder.h>
#include <android/binder_status.h>

__BEGIN_DECLS

// EX_NONE once registered. A name taken, a malformed name, a null binder, or a VINTF binder whose
// instance the device manifest does not declare are refused.
binder_exception_t AServiceManager_addService(AIBinder* binder, const char* instance);
// A strong reference the caller owns, or null: checkService does not wait, getService waits a
// little (deprecated on the device), waitForService waits until the instance is registered.
AIBinder* AServiceManager_checkService(const char* instance);
AIBinder* AServiceManager_getService(const char* instance);
AIBinder* AServiceManager_waitForService(const char* instance);

__END_DECLS
