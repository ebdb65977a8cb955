// SPDX-License-Identifier: Apache-2.0
// The binder stand-in's objects, shared by its parts.
#pragma once

#include <android/binder_ibinder.h>
#include <android/binder_shell.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct AIBinder_Class {
    std::string descriptor;
    AIBinder_Class_onCreate on_create;
    AIBinder_Class_onDestroy on_destroy;
    AIBinder_Class_onTransact on_transact;
    AIBinder_onDump on_dump = nullptr;
    AIBinder_handleShellCommand on_shell_command = nullptr;
};

// What weak references see: the binder while it has strong references, then null.
struct BinderLife {
    std::mutex mutex;
    AIBinder* binder;
    int strong = 1;
};

struct AIBinder {
    const AIBinder_Class* clazz = nullptr;
    void* user_data = nullptr;
    // A proxy stands for a binder of another process; here, the local one it holds a strong
    // reference to.
    AIBinder* target = nullptr;
    bool vintf = false;
    std::shared_ptr<BinderLife> life;
};

struct AIBinder_Weak {
    std::shared_ptr<BinderLife> life;
};

// What a parcel holds at an offset: reads of another kind are refused.
enum class ParcelKind : uint8_t {
    kInt32,
    kUint32,
    kInt64,
    kBool,
    kString,
    kBinder,
    kToken,
    kStatus
};

struct AParcel {
    AParcel() = default;
    AParcel(const AParcel&) = delete;
    AParcel& operator=(const AParcel&) = delete;
    ~AParcel();

    AIBinder* binder = nullptr;  // a transaction's binder (a strong reference)
    bool crossed = false;        // went from one side of a transaction to the other
    std::vector<uint8_t> data;
    std::map<size_t, ParcelKind> kinds;
    mutable size_t position = 0;
    std::vector<AIBinder*> binders;  // strong references
};

namespace binder_standin {

// A proxy to `local`, holding a strong reference to it; the caller owns the proxy's.
AIBinder* new_proxy(AIBinder* local);

// The interface token a transaction parcel begins with.
binder_status_t write_token(AParcel* parcel, const std::string& descriptor);
bool read_token(const AParcel* parcel, std::string* descriptor);

// Runs `work` on a thread of the process's pool and waits for it; STATUS_DEAD_OBJECT when the
// pool has stopped. A pool thread runs it at once.
binder_status_t on_pool(const std::function<binder_status_t()>& work);
bool pool_stopped();

// The VINTF declarations and the registered services, cleared by binder_sim::reset().
void reset_service_manager();
void reset_pool();

}  // namespace binder_standin
