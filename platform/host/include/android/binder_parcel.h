// SPDX-License-Identifier: Apache-2.0
// Our reading of <android/binder_parcel.h> of Android 12, as far as the service and its generated
// code use it: for the workstation builds only.
#pragma once

#include <android/binder_status.h>
#include <android/versioning.h>
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#include <sys/cdefs.h>

__BEGIN_DECLS

struct AIBinder;
typedef struct AIBinder AIBinder;

struct AParcel;
typedef struct AParcel AParcel;

// An empty parcel of no transaction, owned by the caller (API 31).
AParcel* AParcel_create(void) __INTRODUCED_IN(31);
void AParcel_delete(AParcel* parcel) __INTRODUCED_IN(29);

binder_status_t AParcel_setDataPosition(const AParcel* parcel, int32_t position) __INTRODUCED_IN(29);
int32_t AParcel_getDataPosition(const AParcel* parcel) __INTRODUCED_IN(29);
int32_t AParcel_getDataSize(const AParcel* parcel) __INTRODUCED_IN(31);

// Reads fail with STATUS_NOT_ENOUGH_DATA past the end and STATUS_BAD_VALUE where the data there
// is of another kind.
binder_status_t AParcel_writeInt32(AParcel* parcel, int32_t value) __INTRODUCED_IN(29);
binder_status_t AParcel_writeUint32(AParcel* parcel, uint32_t value) __INTRODUCED_IN(29);
binder_status_t AParcel_writeInt64(AParcel* parcel, int64_t value) __INTRODUCED_IN(29);
binder_status_t AParcel_writeBool(AParcel* parcel, bool value) __INTRODUCED_IN(29);
binder_status_t AParcel_readInt32(const AParcel* parcel, int32_t* value) __INTRODUCED_IN(29);
binder_status_t AParcel_readUint32(const AParcel* parcel, uint32_t* value) __INTRODUCED_IN(29);
binder_status_t AParcel_readInt64(const AParcel* parcel, int64_t* value) __INTRODUCED_IN(29);
binder_status_t AParcel_readBool(const AParcel* parcel, bool* value) __INTRODUCED_IN(29);

// UTF-8 text of `length` bytes, or a null string when length is -1.
binder_status_t AParcel_writeString(AParcel* parcel, const char* string, int32_t length)
        __INTRODUCED_IN(29);
// Asks the allocator for a buffer of length + 1 bytes (-1: a null string) and fills it.
typedef bool (*AParcel_stringAllocator)(void* stringData, int32_t length, char** buffer);
binder_status_t AParcel_readString(const AParcel* parcel, void* stringData,
                                   AParcel_stringAllocator allocator) __INTRODUCED_IN(29);

// A binder held by the parcel; null is written and read back as null.
binder_status_t AParcel_writeStrongBinder(AParcel* parcel, AIBinder* binder) __INTRODUCED_IN(29);
binder_status_t AParcel_readStrongBinder(const AParcel* parcel, AIBinder** binder)
        __INTRODUCED_IN(29);

// The reply's first item: the method's status. A transport failure (EX_TRANSACTION_FAILED) is not
// written: its status_t is returned, and becomes the transaction's result.
binder_status_t AParcel_writeStatusHeader(AParcel* parcel, const AStatus* status)
        __INTRODUCED_IN(29);
binder_status_t AParcel_readStatusHeader(const AParcel* parcel, AStatus** status)
        __INTRODUCED_IN(29);

__END_DECLS
