// SPDX-License-Identifier: Apache-2.0
#include "mutex_probe.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>

#include "hal_sim/hal_sim.h"

namespace {

std::atomic<bool> probing{false};

template <typename Fn>
Fn next(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

}  // namespace

MutexProbe::MutexProbe() {
    probing = true;
}

MutexProbe::~MutexProbe() {
    probing = false;
}

extern "C" int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t* attributes) {
    using InitFn = int (*)(pthread_mutex_t*, const pthread_mutexattr_t*);
    static const auto real = next<InitFn>("pthread_mutex_init");
    if (probing) hal_sim::record("lock.created");
    return real(mutex, attributes);
}

extern "C" int pthread_mutex_destroy(pthread_mutex_t* mutex) {
    using DestroyFn = int (*)(pthread_mutex_t*);
    static const auto real = next<DestroyFn>("pthread_mutex_destroy");
    if (probing) hal_sim::record("lock.destroyed");
    return real(mutex);
}
