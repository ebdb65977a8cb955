// SPDX-License-Identifier: Apache-2.0
// Our reading of <android/binder_ibinder.h> of Android 12, as far as the service and its generated
// code use it: for the workstation builds only.
#pragma once

#include <android/binder_parcel.h>
#include <android/binder_status.h>
#include <android/versioning.h>
#include <stdbool.h>
#include <stdint.h>
#include <sys/cdefs.h>
#include <sys/types.h>

__BEGIN_DECLS

typedef uint32_t transaction_code_t;
enum {
    FIRST_CALL_TRANSACTION = 0x00000001,
    LAST_CALL_TRANSACTION = 0x00ffffff,
};
typedef uint32_t binder_flags_t;
enum {
    FLAG_ONEWAY = 0x01,
};

struct AIBinder_Class;
typedef struct AIBinder_Class AIBinder_Class;
struct AIBinder_Weak;
typedef struct AIBinder_Weak AIBinder_Weak;

typedef void* (*AIBinder_Class_onCreate)(void* args);
typedef void (*AIBinder_Class_onDestroy)(void* userData);
typedef binder_status_t (*AIBinder_Class_onTransact)(AIBinder* binder, transaction_code_t code,
                                                     const AParcel* in, AParcel* out);
typedef binder_status_t (*AIBinder_onDump)(AIBinder* binder, int fd, const char** args,
                                           uint32_t numArgs);

// Every argument required; null when one is missing. Classes live as long as the process.
__attribute__((warn_unused_result)) AIBinder_Class* AIBinder_Class_define(
        const char* interfaceDescriptor, AIBinder_Class_onCreate onCreate,
        AIBinder_Class_onDestroy onDestroy, AIBinder_Class_onTransact onTransact)
        __INTRODUCED_IN(29);
void AIBinder_Class_setOnDump(AIBinder_Class* clazz, AIBinder_onDump onDump) __INTRODUCED_IN(29);

// A local binder holding onCreate(args); the caller owns one strong reference.
__attribute__((warn_unused_result)) AIBinder* AIBinder_new(const AIBinder_Class* clazz, void* args)
        __INTRODUCED_IN(29);
bool AIBinder_isRemote(const AIBinder* binder) __INTRODUCED_IN(29);
bool AIBinder_isAlive(const AIBinder* binder) __INTRODUCED_IN(29);
binder_status_t AIBinder_ping(AIBinder* binder) __INTRODUCED_IN(29);
binder_status_t AIBinder_dump(AIBinder* binder, int fd, const char** args, uint32_t numArgs)
        __INTRODUCED_IN(29);

void AIBinder_incStrong(AIBinder* binder) __INTRODUCED_IN(29);
void AIBinder_decStrong(AIBinder* binder) __INTRODUCED_IN(29);
int32_t AIBinder_debugGetRefCount(AIBinder* binder) __INTRODUCED_IN(29);

bool AIBinder_associateClass(AIBinder* binder, const AIBinder_Class* clazz) __INTRODUCED_IN(29);
const AIBinder_Class* AIBinder_getClass(AIBinder* binder) __INTRODUCED_IN(29);
void* AIBinder_getUserData(AIBinder* binder) __INTRODUCED_IN(29);

uid_t AIBinder_getCallingUid(void) __INTRODUCED_IN(29);
pid_t AIBinder_getCallingPid(void) __INTRODUCED_IN(29);

// A parcel for a transaction on `binder`, its interface token written; the binder's class must be
// set (AIBinder_new or AIBinder_associateClass).
binder_status_t AIBinder_prepareTransaction(AIBinder* binder, AParcel** in) __INTRODUCED_IN(29);
// Takes *in (made by AIBinder_prepareTransaction for this binder) and sets it null; on success
// *out is the reply, owned by the caller. Flags: FLAG_ONEWAY and the stability flag
// FLAG_PRIVATE_VENDOR (<android/binder_stability.h>), which generated code sets; others are
// STATUS_BAD_VALUE.
binder_status_t AIBinder_transact(AIBinder* binder, transaction_code_t code, AParcel** in,
                                  AParcel** out, binder_flags_t flags) __INTRODUCED_IN(29);

__attribute__((warn_unused_result)) AIBinder_Weak* AIBinder_Weak_new(AIBinder* binder)
        __INTRODUCED_IN(29);
void AIBinder_Weak_delete(AIBinder_Weak* weakBinder) __INTRODUCED_IN(29);
// A strong reference, owned by the caller, or null when the binder is gone.
__attribute__((warn_unused_result)) AIBinder* AIBinder_Weak_promote(AIBinder_Weak* weakBinder)
        __INTRODUCED_IN(29);

__END_DECLS
