// SPDX-License-Identifier: Apache-2.0
// Our reading of <android/binder_process.h> of Android 12, for the workstation builds only.
#pragma once

#include <android/binder_status.h>
#include <stdbool.h>
#include <stdint.h>
#include <sys/cdefs.h>

__BEGIN_DECLS

// Starts the pool's own thread, once.
void ABinderProcess_startThreadPool(void);
// Threads the pool may start besides those that join it (15 until set). False only when the
// driver refuses the count, which the workstation's never does; shrinking the pool once it has
// started aborts the process.
bool ABinderProcess_setThreadPoolMaxThreadCount(uint32_t numThreads);
// The calling thread serves transactions; it does not return while the process serves.
void ABinderProcess_joinThreadPool(void);

__END_DECLS
