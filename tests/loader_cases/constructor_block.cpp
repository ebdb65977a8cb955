// SPDX-License-Identifier: Apache-2.0
// A library whose load-time constructor never returns.
#include <unistd.h>

namespace {

[[gnu::constructor]] void block_on_load() {
    for (;;) pause();
}

}  // namespace
