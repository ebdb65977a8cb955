// SPDX-License-Identifier: Apache-2.0
#include "quorin_hal_client.h"

#include <android/binder_manager.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

using aidl::vendor::quorin::hal::IQuorinHal;

std::string quorin_hal_instance() {
    return std::string(IQuorinHal::descriptor) + "/default";
}

std::shared_ptr<IQuorinHal> connect_quorin_hal(const std::string& instance) {
    ndk::SpAIBinder binder(AServiceManager_checkService(instance.c_str()));
    if (binder.get() == nullptr) return nullptr;
    return IQuorinHal::fromBinder(binder);
}

bool read_dump(IQuorinHal& hal, std::string* text, std::string* error) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        *error = std::string("pipe2: ") + strerror(errno);
        return false;
    }
    std::string read_text;
    int read_error = 0;
    // Read while the service writes, so that a dump longer than the pipe's buffer never waits.
    std::thread reader([&] {
        char buffer[4096];
        while (true) {
            const ssize_t got = read(fds[0], buffer, sizeof(buffer));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) read_error = errno;
            if (got <= 0) break;
            read_text.append(buffer, static_cast<size_t>(got));
        }
    });
    const binder_status_t status = hal.dump(fds[1], nullptr, 0);
    close(fds[1]);
    reader.join();
    close(fds[0]);
    if (status != STATUS_OK) {
        *error = "dump: status " + std::to_string(status);
        return false;
    }
    if (read_error != 0) {
        *error = std::string("reading the dump: ") + strerror(read_error);
        return false;
    }
    *text = read_text;
    return true;
}
