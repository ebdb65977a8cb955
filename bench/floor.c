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

void floor_steady_pattern(const char* const led_files[6], const char* remote, const char* green,
                          const char* sys) {
    /* led_files: remote brightness, remote trigger, green brightness, green trigger, sys ... */
    floor_write(led_files[1], "none");
    floor_write(led_files[3], "none");
    floor_write(led_files[5], "none");
    floor_write(led_files[0], remote);
    floor_write(led_files[2], green);
    floor_write(led_files[4], sys);
}
