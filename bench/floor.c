// SPDX-License-Identifier: Apache-2.0
#include "floor.h"

#include <fcntl.h>
#include <string.h>
#include <unistd.h>

void floor_write(const char* path, const char* value) {
    int fd = open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0) return;
    (void)write(fd, value, strlen(value));
    (void)close(fd);
}

void floor_steady_pattern(const char* const trigger_files[], const char* const brightness_files[],
                          const char* const brightness[], size_t count) {
    for (size_t i = 0; i < count; ++i) floor_write(trigger_files[i], "none");
    for (size_t i = 0; i < count; ++i) floor_write(brightness_files[i], brightness[i]);
}
