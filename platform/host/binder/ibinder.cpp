// SPDX-License-Identifier: Apache-2.0
// AIBinder: local binders, which run their class's callbacks, and proxies, which stand for a
// binder of another process and reach it through a transaction served by its process's pool.
#include <android/binder_ibinder.h>
#include <android/binder_stability.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "binder_internal.h"
#include "binder_sim/binder_sim.h"

namespace {

constexpr binder_flags_t kKnownFlags = FLAG_ONEWAY | FLAG_PRIVATE_VENDOR;

bool user_code(transaction_code_t code) {
    return code >= FIRST_CALL_TRANSACTION && code <= LAST_CALL_TRANSACTION;
}

AIBinder* new_binder() {
    auto* binder = new AIBinder;
    binder->life = std::make_shared<BinderLife>();
    binder->life->binder = binder;
    return binder;
}

// The serving side of a transaction on a local binder: the token names its class, then its
// onTransact reads the arguments and writes the reply.
binder_status_t serve(AIBinder* local, transaction_code_t code, const AParcel* in, AParcel* out) {
    in->position = 0;
    std::string descriptor;
    if (!binder_standin::read_token(in, &descriptor) || descriptor != local->clazz->descriptor) {
        return STATUS_BAD_TYPE;
    }
    return local->clazz->on_transact(local, code, in, out);
}

}  // namespace

namespace binder_standin {

AIBinder* new_proxy(AIBinder* local) {
    AIBinder* proxy = new_binder();
    AIBinder_incStrong(local);
    proxy->target = local;
    return proxy;
}

}  // namespace binder_standin

AIBinder_Class* AIBinder_Class_define(const char* interfaceDescriptor,
                                      AIBinder_Class_onCreate onCreate,
                                      AIBinder_Class_onDestroy onDestroy,
                                      AIBinder_Class_onTransact onTransact) {
    if (interfaceDescriptor == nullptr || onCreate == nullptr || onDestroy == nullptr ||
        onTransact == nullptr) {
        return nullptr;
    }
    return new AIBinder_Class{interfaceDescriptor, onCreate, onDestroy, onTransact};
}

void AIBinder_Class_setOnDump(AIBinder_Class* clazz, AIBinder_onDump onDump) {
    clazz->on_dump = onDump;
}

void AIBinder_Class_setHandleShellCommand(AIBinder_Class* clazz,
                                          AIBinder_handleShellCommand handleShellCommand) {
    clazz->on_shell_command = handleShellCommand;
}

AIBinder* AIBinder_new(const AIBinder_Class* clazz, void* args) {
    if (clazz == nullptr) return nullptr;
    AIBinder* binder = new_binder();
    binder->clazz = clazz;
    binder->user_data = clazz->on_create(args);
    return binder;
}

bool AIBinder_isRemote(const AIBinder* binder) {
    return binder->target != nullptr;
}

bool AIBinder_isAlive(const AIBinder* binder) {
    return binder->target == nullptr || !binder_standin::pool_stopped();
}

binder_status_t AIBinder_ping(AIBinder* binder) {
    if (binder == nullptr) return STATUS_UNEXPECTED_NULL;
    return AIBinder_isAlive(binder) ? STATUS_OK : STATUS_DEAD_OBJECT;
}

binder_status_t AIBinder_dump(AIBinder* binder, int fd, const char** args, uint32_t numArgs) {
    if (binder == nullptr) return STATUS_UNEXPECTED_NULL;
    if (numArgs > 0 && args == nullptr) return STATUS_UNEXPECTED_NULL;
    AIBinder* local = binder->target != nullptr ? binder->target : binder;
    const AIBinder_onDump on_dump = local->clazz != nullptr ? local->clazz->on_dump : nullptr;
    if (on_dump == nullptr) return STATUS_OK;
    if (binder->target == nullptr) return on_dump(local, fd, args, numArgs);
    return binder_standin::on_pool([&] { return on_dump(local, fd, args, numArgs); });
}

void AIBinder_incStrong(AIBinder* binder) {
    std::lock_guard<std::mutex> lock(binder->life->mutex);
    ++binder->life->strong;
}

void AIBinder_decStrong(AIBinder* binder) {
    std::shared_ptr<BinderLife> life = binder->life;
    {
        std::lock_guard<std::mutex> lock(life->mutex);
        if (--life->strong > 0) return;
        life->binder = nullptr;
    }
    if (binder->target != nullptr) {
        AIBinder_decStrong(binder->target);
    } else if (binder->clazz != nullptr) {
        binder->clazz->on_destroy(binder->user_data);
    }
    delete binder;
}

int32_t AIBinder_debugGetRefCount(AIBinder* binder) {
    if (binder == nullptr) return -1;
    std::lock_guard<std::mutex> lock(binder->life->mutex);
    return binder->life->strong;
}

bool AIBinder_associateClass(AIBinder* binder, const AIBinder_Class* clazz) {
    if (binder == nullptr || clazz == nullptr) return false;
    if (binder->clazz != nullptr) return binder->clazz->descriptor == clazz->descriptor;
    // A proxy takes the class whose descriptor its remote object answers to.
    if (binder->target == nullptr || binder->target->clazz == nullptr ||
        binder->target->clazz->descriptor != clazz->descriptor) {
        return false;
    }
    binder->clazz = clazz;
    return true;
}

const AIBinder_Class* AIBinder_getClass(AIBinder* binder) {
    return binder == nullptr ? nullptr : binder->clazz;
}

void* AIBinder_getUserData(AIBinder* binder) {
    return binder == nullptr ? nullptr : binder->user_data;
}

uid_t AIBinder_getCallingUid() {
    return getuid();
}

pid_t AIBinder_getCallingPid() {
    return getpid();
}

binder_status_t AIBinder_prepareTransaction(AIBinder* binder, AParcel** in) {
    if (binder == nullptr || in == nullptr) return STATUS_UNEXPECTED_NULL;
    if (binder->clazz == nullptr) return STATUS_INVALID_OPERATION;
    auto* parcel = new AParcel;
    AIBinder_incStrong(binder);
    parcel->binder = binder;
    binder_standin::write_token(parcel, binder->clazz->descriptor);
    *in = parcel;
    return STATUS_OK;
}

binder_status_t AIBinder_transact(AIBinder* binder, transaction_code_t code, AParcel** in,
                                  AParcel** out, binder_flags_t flags) {
    if (in == nullptr || *in == nullptr) return STATUS_UNEXPECTED_NULL;
    // The parcel is the binder's from here, whatever happens.
    std::unique_ptr<AParcel> request(std::exchange(*in, nullptr));
    if (binder == nullptr || out == nullptr) return STATUS_UNEXPECTED_NULL;
    if ((flags & ~kKnownFlags) != 0) return STATUS_BAD_VALUE;
    if (request->binder != binder) return STATUS_BAD_VALUE;
    if (!user_code(code)) return STATUS_UNKNOWN_TRANSACTION;

    auto reply = std::make_unique<AParcel>();
    binder_status_t status = STATUS_OK;
    if (binder->target == nullptr) {
        status = serve(binder, code, request.get(), reply.get());
    } else {
        AIBinder* local = binder->target;
        request->crossed = true;
        if ((flags & FLAG_ONEWAY) != 0) {
            status = binder_standin::on_pool([&] {
                AParcel ignored;
                serve(local, code, request.get(), &ignored);
                return STATUS_OK;
            });
        } else {
            status = binder_standin::on_pool(
                    [&] { return serve(local, code, request.get(), reply.get()); });
        }
        reply->crossed = true;
    }
    if (status != STATUS_OK) return status;
    reply->position = 0;
    *out = reply.release();
    return STATUS_OK;
}

AIBinder_Weak* AIBinder_Weak_new(AIBinder* binder) {
    if (binder == nullptr) return nullptr;
    return new AIBinder_Weak{binder->life};
}

void AIBinder_Weak_delete(AIBinder_Weak* weakBinder) {
    delete weakBinder;
}

AIBinder* AIBinder_Weak_promote(AIBinder_Weak* weakBinder) {
    if (weakBinder == nullptr) return nullptr;
    std::lock_guard<std::mutex> lock(weakBinder->life->mutex);
    if (weakBinder->life->binder == nullptr) return nullptr;
    ++weakBinder->life->strong;
    return weakBinder->life->binder;
}

void AIBinder_markVintfStability(AIBinder* binder) {
    binder->vintf = true;
}

// Declared to vendor code only. A binder of one partition's own stability is registered as any
// other here: the workstation has no partitions to keep apart.
extern "C" void AIBinder_markVendorStability(AIBinder* binder);
void AIBinder_markVendorStability(AIBinder* binder) {
    binder->vintf = false;
}

void AIBinder_markSystemStability(AIBinder* binder) {
    binder->vintf = false;
}

namespace binder_sim {

binder_status_t shell_command(AIBinder* binder, int in, int out, int err,
                              const std::vector<std::string>& args) {
    if (binder == nullptr) return STATUS_UNEXPECTED_NULL;
    AIBinder* local = binder->target != nullptr ? binder->target : binder;
    const AIBinder_handleShellCommand handler =
            local->clazz != nullptr ? local->clazz->on_shell_command : nullptr;
    if (handler == nullptr) return STATUS_INVALID_OPERATION;
    std::vector<const char*> argv;
    argv.reserve(args.size());
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    auto run = [&] {
        return handler(local, in, out, err, argv.data(), static_cast<uint32_t>(argv.size()));
    };
    return binder->target == nullptr ? run() : binder_standin::on_pool(run);
}

}  // namespace binder_sim
