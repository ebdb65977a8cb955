// SPDX-License-Identifier: Apache-2.0
// A library whose load-time constructor never returns. It leaves its pid where
// LOADER_CASE_PID_FILE names, so that a test can tell whether it outlives the check.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

[[gnu::constructor]] void block_on_load() {
    if (const char* file = getenv("LOADER_CASE_PID_FILE")) {
        if (FILE* out = fopen(file, "w")) {
            fprintf(out, "%d\n", getpid());
            fclose(out);
        }
    }
    for (;;) pause();
}

}  // namespace
