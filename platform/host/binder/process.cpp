// SPDX-License-Identifier: Apache-2.0
// The process's thread pool: the threads that serve the transactions proxies send to this
// process's binders. A transaction waits in a queue until a pool thread takes it, as a call waits
// for a free binder thread on a device.
#include <android/binder_process.h>
#include <android/log.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "binder_internal.h"
#include "binder_sim/binder_sim.h"

namespace {

// The driver's count until the process sets one (libbinder's default).
constexpr unsigned kDefaultMaxThreads = 15;

struct Transaction {
    const std::function<binder_status_t()>* work;
    binder_status_t status = STATUS_OK;
    bool done = false;
};

struct Pool {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Transaction*> queue;
    bool stopping = false;
    unsigned max_threads = kDefaultMaxThreads;
    int max_threads_error = 0;  // the errno the driver's ioctl fails with, or 0
    binder_sim::PoolState state;
};

Pool& pool() {
    static Pool* instance = new Pool;  // lives as long as the process, as the driver's state does
    return *instance;
}

thread_local bool pool_thread = false;

void serve_until_stopped() {
    Pool& p = pool();
    std::unique_lock<std::mutex> lock(p.mutex);
    ++p.state.joined;
    pool_thread = true;
    while (true) {
        p.changed.wait(lock, [&] { return p.stopping || !p.queue.empty(); });
        if (p.stopping) break;
        Transaction* transaction = p.queue.front();
        p.queue.pop_front();
        const std::thread::id self = std::this_thread::get_id();
        std::vector<std::thread::id>& served = p.state.serving_threads;
        if (std::find(served.begin(), served.end(), self) == served.end()) served.push_back(self);
        lock.unlock();
        const binder_status_t status = (*transaction->work)();
        lock.lock();
        transaction->status = status;
        transaction->done = true;
        p.changed.notify_all();
    }
    pool_thread = false;
    --p.state.joined;
    p.changed.notify_all();
}

}  // namespace

namespace binder_standin {

binder_status_t on_pool(const std::function<binder_status_t()>& work) {
    if (pool_thread) return work();
    Pool& p = pool();
    Transaction transaction{&work};
    std::unique_lock<std::mutex> lock(p.mutex);
    if (p.stopping) return STATUS_DEAD_OBJECT;
    p.queue.push_back(&transaction);
    p.changed.notify_all();
    // Once the process stops serving, a transaction no thread took fails: its binders are dead.
    // One already taken finishes first.
    auto queued = [&] {
        return std::find(p.queue.begin(), p.queue.end(), &transaction) != p.queue.end();
    };
    p.changed.wait(lock, [&] { return transaction.done || (p.stopping && queued()); });
    if (!transaction.done) {
        p.queue.erase(std::remove(p.queue.begin(), p.queue.end(), &transaction), p.queue.end());
        return STATUS_DEAD_OBJECT;
    }
    return transaction.status;
}

bool pool_stopped() {
    Pool& p = pool();
    std::lock_guard<std::mutex> lock(p.mutex);
    return p.stopping;
}

void reset_pool() {
    Pool& p = pool();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.queue.clear();
    p.stopping = false;
    p.max_threads = kDefaultMaxThreads;
    p.max_threads_error = 0;
    p.state = binder_sim::PoolState{};
}

}  // namespace binder_standin

bool ABinderProcess_setThreadPoolMaxThreadCount(uint32_t numThreads) {
    Pool& p = pool();
    std::lock_guard<std::mutex> lock(p.mutex);
    // As the device's libbinder: a running pool's threads cannot be taken back.
    if (p.state.started && numThreads < p.max_threads) {
        __android_log_print(ANDROID_LOG_FATAL, "binder",
                            "Binder threadpool cannot be shrunk after starting");
        std::abort();
    }
    // The driver's refusal of the count, the one failure Android 12 reports.
    if (p.max_threads_error != 0) {
        __android_log_print(ANDROID_LOG_ERROR, "ProcessState",
                            "Binder ioctl to set max threads failed: %s",
                            strerror(p.max_threads_error));
        return false;
    }
    p.max_threads = numThreads;
    p.state.max_threads_set = true;
    p.state.max_threads = numThreads;
    return true;
}

void ABinderProcess_startThreadPool() {
    Pool& p = pool();
    {
        std::lock_guard<std::mutex> lock(p.mutex);
        if (p.state.started) return;
        p.state.started = true;
    }
    std::thread(serve_until_stopped).detach();
}

void ABinderProcess_joinThreadPool() {
    serve_until_stopped();
}

namespace binder_sim {

PoolState pool_state() {
    Pool& p = pool();
    std::lock_guard<std::mutex> lock(p.mutex);
    return p.state;
}

void fail_max_threads(int error) {
    Pool& p = pool();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.max_threads_error = error;
}

void stop_thread_pool() {
    Pool& p = pool();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.stopping = true;
    p.changed.notify_all();
}

}  // namespace binder_sim
