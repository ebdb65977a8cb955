// SPDX-License-Identifier: Apache-2.0
// A library whose load-time constructor crashes the process that loads it.
#include <cstdlib>

namespace {

[[gnu::constructor]] void crash_on_load() {
    abort();
}

}  // namespace
