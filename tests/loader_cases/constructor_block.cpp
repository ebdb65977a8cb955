// SPDX-License-Identifier: Apache-2.0
// A library whose load-time constructor never returns; its process leaves its pid.
#include <unistd.h>

#include "pid_file.h"

namespace {

[[gnu::constructor]] void block_on_load() {
    leave_pid();
    for (;;) pause();
}

}  // namespace
