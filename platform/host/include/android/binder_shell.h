// SPDX-License-Identifier: Apache-2.0
// Our reading of <android/binder_shell.h> of Android 12, for the workstation builds only: the
// handler of `cmd <service> ...` for the binders of a class.
#pragma once

#include <android/binder_ibinder.h>
#include <android/versioning.h>

__BEGIN_DECLS

typedef binder_status_t (*AIBinder_handleShellCommand)(AIBinder* binder, int in, int out, int err,
                                                       const char** argv, uint32_t argc);

// Set before any binder of the class is made.
__attribute__((weak)) void AIBinder_Class_setHandleShellCommand(
        AIBinder_Class* clazz, AIBinder_handleShellCommand handleShellCommand) __INTRODUCED_IN(30);

__END_DECLS
