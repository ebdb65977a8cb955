// SPDX-License-Identifier: Apache-2.0
#include "sim_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "write_all.h"

namespace hal_sim {
namespace {

// A writer's temporary file for dir/name is name.tmp.PID.
std::string temporary_prefix(const std::string& name) {
    return name + ".tmp.";
}

}  // namespace

int open_regular_file(const std::string& path, int flags, mode_t mode) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below like any other
    // file that is not a regular one. On a regular file the flag changes nothing.
    const int fd = open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd < 0) return -1;
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

std::string decimal_text(long long value) {
    char text[24];  // "-9223372036854775808" and its NUL
    (void)snprintf(text, sizeof(text), "%lld", value);
    return text;
}

std::optional<std::string> sim_dir() {
    const char* dir = getenv("HAL_SIM_DIR");  // NOLINT(concurrency-mt-unsafe): read only
    if (dir == nullptr || dir[0] == '\0') return std::nullopt;
    return std::string(dir);
}

bool read_file(const std::string& path, size_t max_bytes, std::string* text) {
    text->clear();
    const int fd = open_regular_file(path, O_RDONLY);
    if (fd < 0) return errno == ENOENT;
    char buffer[4096];
    bool ok = true;
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        text->append(buffer, static_cast<size_t>(n));
        if (text->size() > max_bytes) {
            ok = false;
            break;
        }
    }
    close(fd);
    if (!ok) text->clear();
    return ok;
}

void remove_temporaries(const std::string& dir, const std::string& name) {
    // std::filesystem rather than readdir(), which a 32-bit build without large-file offsets
    // cannot use on a file system with 64-bit directory offsets.
    const std::string prefix = temporary_prefix(name);
    std::error_code error;
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().filename().string().compare(0, prefix.size(), prefix) == 0) {
            unlink(it->path().c_str());
        }
    }
}

bool replace_file(const std::string& dir, const std::string& name, const std::string& text) {
    const std::string target = dir + "/" + name;
    const std::string temp = dir + "/" + temporary_prefix(name) + decimal_text(getpid());
    const int fd = open_regular_file(temp, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const bool written = write_all(fd, text.data(), text.size()) == 0 && fsync(fd) == 0;
    if (close(fd) != 0 || !written || rename(temp.c_str(), target.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

bool append_line(const std::string& dir, const std::string& name, const std::string& line) {
    const std::string path = dir + "/" + name;
    const int fd = open_regular_file(path, O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) return false;
    const std::string record = line + "\n";
    const bool ok = write_all(fd, record.data(), record.size()) == 0;
    return close(fd) == 0 && ok;
}

}  // namespace hal_sim
