// SPDX-License-Identifier: Apache-2.0
// A library whose load-time constructor closes every descriptor from 3 up, as a daemon's start-up
// code does: dlopen still returns.
#include <unistd.h>

namespace {

[[gnu::constructor]] void close_from_three() {
    const long most = sysconf(_SC_OPEN_MAX);
    for (long fd = 3; fd < most && fd < 65536; ++fd) close(static_cast<int>(fd));
}

}  // namespace
