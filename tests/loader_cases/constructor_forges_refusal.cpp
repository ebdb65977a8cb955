// SPDX-License-Identifier: Apache-2.0
// A library whose load-time constructor writes a refusal record of its own on the report's
// descriptor, then ends the process before dlopen returns.
#include <unistd.h>

namespace {

[[gnu::constructor]] void forge_then_exit() {
    const char record[] = "-libforged.so: cannot open shared object file\n";
    (void)!write(3, record, sizeof(record) - 1);
    _exit(0);
}

}  // namespace
