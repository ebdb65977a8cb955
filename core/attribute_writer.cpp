// SPDX-License-Identifier: Apache-2.0
#include "attribute_writer.h"

#include <android/log.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

void send_command(const char* tag, const char* path, const char* value) {
    // Close-on-exec: a descriptor open while another thread forks and execs must not leak.
    const int fd = open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        __android_log_print(ANDROID_LOG_DEBUG, tag, "%s<Debug for write> fail to %s file %s\n", tag,
                            "open", path);
        return;
    }
    // Sysfs attributes take the whole value in one write; the driver reports nothing useful here.
    (void)write(fd, value, strlen(value));
    (void)close(fd);
}
