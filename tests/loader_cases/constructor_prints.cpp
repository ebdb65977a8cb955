// SPDX-License-Identifier: Apache-2.0
// A library whose load-time constructor writes control sequences to standard output and error.
#include <unistd.h>

#include <cstring>

namespace {

void say(int fd, const char* text) {
    (void)!write(fd, text, strlen(text));
}

[[gnu::constructor]] void print_on_load() {
    say(STDOUT_FILENO, "hello\x1b[2J\x07\n");
    say(STDERR_FILENO, "from the constructor\n");
}

}  // namespace
