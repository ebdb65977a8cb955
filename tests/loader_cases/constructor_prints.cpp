// SPDX-License-Identifier: Apache-2.0
// A library whose load-time constructor writes control sequences to standard output and error.
#include <cstdio>

namespace {

[[gnu::constructor]] void print_on_load() {
    fputs("hello\x1b[2J\x07\n", stdout);
    fflush(stdout);
    fputs("from the constructor\n", stderr);
}

}  // namespace
