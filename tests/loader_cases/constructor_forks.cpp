// SPDX-License-Identifier: Apache-2.0
// A library whose load-time constructor starts a process that keeps the loader's standard output
// and error open for 30 s, its pid where LOADER_CASE_PID_FILE names; loading itself succeeds.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

[[gnu::constructor]] void fork_on_load() {
    const pid_t lingering = fork();
    if (lingering != 0) return;
    if (const char* file = getenv("LOADER_CASE_PID_FILE")) {
        if (FILE* out = fopen(file, "w")) {
            fprintf(out, "%d\n", getpid());
            fclose(out);
        }
    }
    sleep(30);
    _exit(0);
}

}  // namespace
