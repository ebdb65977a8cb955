// SPDX-License-Identifier: Apache-2.0
// Our reading of <android/binder_process.h> of Android 12, for the workstation builds only.
#pragma once

#include <stdbool.h>
#include <stdint.h>
#include <sys/cdefs.h>

__BEGIN_DECLS

// Threads the pool may start besides those that join it; false once the pool has started.
bool ABinderProcess_setThreadPoolMaxThreadCount(uint32_t numThreads);
// Starts the pool's own thread, once.
void ABinderProcess_startThreadPool(void);
// The calling thread serves transactions; it does not return while the process serves.
void ABinderProcess_joinThreadPool(void);
bool ABinderProcess_isThreadPoolStarted(void);

__END_DECLS
