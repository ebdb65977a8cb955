// SPDX-License-Identifier: Apache-2.0
// A library whose load-time constructor starts a process that keeps the loader's standard output
// and error open for 30 s and leaves its pid; loading itself succeeds.
#include <unistd.h>

#include "pid_file.h"

namespace {

[[gnu::constructor]] void fork_on_load() {
    if (fork() != 0) return;
    leave_pid();
    sleep(30);
    _exit(0);
}

}  // namespace
