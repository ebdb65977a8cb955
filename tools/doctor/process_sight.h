// SPDX-License-Identifier: Apache-2.0
// How much of the other processes this one may see: a scan for the library's holders that could
// not look at a process cannot say that process does not hold it.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

struct ProcessSight {
    bool listed = false;  // the process list under `proc_root` could be read
    size_t unseen = 0;    // processes whose maps this one may not read (EACCES, EPERM)
};

// The processes under `proc_root` ("/proc") other than `self`, at most kProcessLimit of them.
ProcessSight process_sight(const std::string& proc_root, pid_t self);
