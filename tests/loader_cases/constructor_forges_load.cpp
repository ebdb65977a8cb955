// SPDX-License-Identifier: Apache-2.0
// A library whose load-time constructor writes the doctor's "loaded" record on the report's
// descriptor, then crashes the process that loads it.
#include <unistd.h>

#include <cstdlib>

namespace {

[[gnu::constructor]] void forge_then_crash() {
    (void)!write(3, "+\n", 2);
    abort();
}

}  // namespace
