// SPDX-License-Identifier: Apache-2.0
// A library whose load-time constructor starts a process that keeps the loader's standard output
// and error open for 30 s and leaves its pid; loading itself succeeds.
#include <unistd.h>

#include "pid_file.h"

namespace {

// The loader leaves the child's pid before it goes on, so that the pid is there whenever the
// child is killed.
[[gnu::constructor]] void fork_on_load() {
    const pid_t child = fork();
    if (child != 0) {
        if (child > 0) leave_pid(child);
        return;
    }
    sleep(30);
    _exit(0);
}

}  // namespace
