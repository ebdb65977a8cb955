// SPDX-License-Identifier: Apache-2.0
// AParcel: what a transaction carries. Data is laid out in 4-byte units as on a device, and each
// item remembers its kind, so that a read of the wrong kind or past the end fails as it would
// there (STATUS_BAD_VALUE, STATUS_NOT_ENOUGH_DATA) instead of reading garbage.
#include <android/binder_parcel.h>

#include <cstring>
#include <string>

#include "binder_internal.h"

namespace {

size_t padded(size_t size) {
    return (size + 3) & ~static_cast<size_t>(3);
}

void append(AParcel* parcel, ParcelKind kind, const void* bytes, size_t size) {
    parcel->kinds[parcel->data.size()] = kind;
    const size_t at = parcel->data.size();
    parcel->data.resize(at + padded(size), 0);
    memcpy(parcel->data.data() + at, bytes, size);
}

// The next item, if it is of `kind` and `size` bytes of it are there; moves past it.
binder_status_t take(const AParcel* parcel, ParcelKind kind, void* bytes, size_t size) {
    const size_t at = parcel->position;
    if (at + size > parcel->data.size()) return STATUS_NOT_ENOUGH_DATA;
    auto found = parcel->kinds.find(at);
    if (found == parcel->kinds.end() || found->second != kind) return STATUS_BAD_VALUE;
    memcpy(bytes, parcel->data.data() + at, size);
    parcel->position = at + padded(size);
    return STATUS_OK;
}

// Text follows its length (kind kString) unmarked; -1 is a null string, which only a null
// pointer writes, and a null pointer writes nothing else.
binder_status_t write_text(AParcel* parcel, const char* text, int32_t length) {
    if (text == nullptr ? length != -1 : length < 0) return STATUS_BAD_VALUE;
    append(parcel, ParcelKind::kString, &length, sizeof(length));
    if (length < 0) return STATUS_OK;
    const size_t at = parcel->data.size();
    parcel->data.resize(at + padded(static_cast<size_t>(length) + 1), 0);
    if (length > 0) memcpy(parcel->data.data() + at, text, static_cast<size_t>(length));
    return STATUS_OK;
}

binder_status_t read_text(const AParcel* parcel, std::string* text, bool* null) {
    int32_t length = 0;
    const size_t start = parcel->position;
    binder_status_t status = take(parcel, ParcelKind::kString, &length, sizeof(length));
    if (status != STATUS_OK) return status;
    *null = length == -1;
    if (*null) return STATUS_OK;
    if (length < 0) {
        parcel->position = start;
        return STATUS_BAD_VALUE;
    }
    const size_t size = padded(static_cast<size_t>(length) + 1);
    if (parcel->position + size > parcel->data.size()) {
        parcel->position = start;
        return STATUS_NOT_ENOUGH_DATA;
    }
    const char* bytes = reinterpret_cast<const char*>(parcel->data.data() + parcel->position);
    if (bytes[length] != '\0') {
        parcel->position = start;
        return STATUS_BAD_VALUE;
    }
    text->assign(bytes, static_cast<size_t>(length));
    parcel->position += size;
    return STATUS_OK;
}

}  // namespace

AParcel::~AParcel() {
    for (AIBinder* held : binders) AIBinder_decStrong(held);
    if (binder != nullptr) AIBinder_decStrong(binder);
}

namespace binder_standin {

binder_status_t write_token(AParcel* parcel, const std::string& descriptor) {
    const int32_t length = static_cast<int32_t>(descriptor.size());
    append(parcel, ParcelKind::kToken, &length, sizeof(length));
    const size_t at = parcel->data.size();
    parcel->data.resize(at + padded(descriptor.size() + 1), 0);
    memcpy(parcel->data.data() + at, descriptor.data(), descriptor.size());
    return STATUS_OK;
}

bool read_token(const AParcel* parcel, std::string* descriptor) {
    int32_t length = 0;
    if (take(parcel, ParcelKind::kToken, &length, sizeof(length)) != STATUS_OK || length < 0) {
        return false;
    }
    const size_t size = padded(static_cast<size_t>(length) + 1);
    if (parcel->position + size > parcel->data.size()) return false;
    descriptor->assign(reinterpret_cast<const char*>(parcel->data.data() + parcel->position),
                       static_cast<size_t>(length));
    parcel->position += size;
    return true;
}

}  // namespace binder_standin

AParcel* AParcel_create() {
    return new AParcel;
}

void AParcel_delete(AParcel* parcel) {
    delete parcel;
}

binder_status_t AParcel_setDataPosition(const AParcel* parcel, int32_t position) {
    if (position < 0) return STATUS_BAD_VALUE;
    parcel->position = static_cast<size_t>(position);
    return STATUS_OK;
}

int32_t AParcel_getDataPosition(const AParcel* parcel) {
    return static_cast<int32_t>(parcel->position);
}

int32_t AParcel_getDataSize(const AParcel* parcel) {
    return static_cast<int32_t>(parcel->data.size());
}

binder_status_t AParcel_writeInt32(AParcel* parcel, int32_t value) {
    append(parcel, ParcelKind::kInt32, &value, sizeof(value));
    return STATUS_OK;
}

binder_status_t AParcel_writeUint32(AParcel* parcel, uint32_t value) {
    append(parcel, ParcelKind::kUint32, &value, sizeof(value));
    return STATUS_OK;
}

binder_status_t AParcel_writeInt64(AParcel* parcel, int64_t value) {
    append(parcel, ParcelKind::kInt64, &value, sizeof(value));
    return STATUS_OK;
}

binder_status_t AParcel_writeBool(AParcel* parcel, bool value) {
    const int32_t word = value ? 1 : 0;
    append(parcel, ParcelKind::kBool, &word, sizeof(word));
    return STATUS_OK;
}

binder_status_t AParcel_readInt32(const AParcel* parcel, int32_t* value) {
    return take(parcel, ParcelKind::kInt32, value, sizeof(*value));
}

binder_status_t AParcel_readUint32(const AParcel* parcel, uint32_t* value) {
    return take(parcel, ParcelKind::kUint32, value, sizeof(*value));
}

binder_status_t AParcel_readInt64(const AParcel* parcel, int64_t* value) {
    return take(parcel, ParcelKind::kInt64, value, sizeof(*value));
}

binder_status_t AParcel_readBool(const AParcel* parcel, bool* value) {
    int32_t word = 0;
    const binder_status_t status = take(parcel, ParcelKind::kBool, &word, sizeof(word));
    if (status == STATUS_OK) *value = word != 0;
    return status;
}

binder_status_t AParcel_writeString(AParcel* parcel, const char* string, int32_t length) {
    return write_text(parcel, string, length);
}

binder_status_t AParcel_readString(const AParcel* parcel, void* stringData,
                                   AParcel_stringAllocator allocator) {
    const size_t start = parcel->position;
    std::string text;
    bool null = false;
    const binder_status_t status = read_text(parcel, &text, &null);
    if (status != STATUS_OK) return status;
    char* buffer = nullptr;
    const int32_t length = null ? -1 : static_cast<int32_t>(text.size()) + 1;
    if (!allocator(stringData, length, &buffer)) {
        parcel->position = start;
        return STATUS_NO_MEMORY;
    }
    if (!null) {
        if (buffer == nullptr) return STATUS_UNEXPECTED_NULL;
        memcpy(buffer, text.c_str(), text.size() + 1);
    }
    return STATUS_OK;
}

binder_status_t AParcel_writeStrongBinder(AParcel* parcel, AIBinder* binder) {
    int32_t index = -1;
    if (binder != nullptr) {
        AIBinder_incStrong(binder);
        index = static_cast<int32_t>(parcel->binders.size());
        parcel->binders.push_back(binder);
    }
    append(parcel, ParcelKind::kBinder, &index, sizeof(index));
    return STATUS_OK;
}

binder_status_t AParcel_readStrongBinder(const AParcel* parcel, AIBinder** binder) {
    int32_t index = 0;
    const size_t start = parcel->position;
    const binder_status_t status = take(parcel, ParcelKind::kBinder, &index, sizeof(index));
    if (status != STATUS_OK) return status;
    if (index < -1 || index >= static_cast<int32_t>(parcel->binders.size())) {
        parcel->position = start;
        return STATUS_BAD_VALUE;
    }
    if (index == -1) {
        *binder = nullptr;
        return STATUS_OK;
    }
    AIBinder* held = parcel->binders[static_cast<size_t>(index)];
    // A local binder that went to the other side is a proxy there.
    if (parcel->crossed && held->target == nullptr) {
        *binder = binder_standin::new_proxy(held);
    } else {
        AIBinder_incStrong(held);
        *binder = held;
    }
    return STATUS_OK;
}

binder_status_t AParcel_writeStatusHeader(AParcel* parcel, const AStatus* status) {
    const binder_exception_t exception = AStatus_getExceptionCode(status);
    if (exception == EX_TRANSACTION_FAILED) {
        const binder_status_t transport = AStatus_getStatus(status);
        return transport == STATUS_OK ? STATUS_FAILED_TRANSACTION : transport;
    }
    append(parcel, ParcelKind::kStatus, &exception, sizeof(exception));
    if (exception == EX_NONE) return STATUS_OK;
    const std::string message = AStatus_getMessage(status);
    write_text(parcel, message.c_str(), static_cast<int32_t>(message.size()));
    if (exception == EX_SERVICE_SPECIFIC) {
        AParcel_writeInt32(parcel, AStatus_getServiceSpecificError(status));
    }
    return STATUS_OK;
}

binder_status_t AParcel_readStatusHeader(const AParcel* parcel, AStatus** status) {
    binder_exception_t exception = EX_NONE;
    binder_status_t result = take(parcel, ParcelKind::kStatus, &exception, sizeof(exception));
    if (result != STATUS_OK) return result;
    if (exception == EX_NONE) {
        *status = AStatus_newOk();
        return STATUS_OK;
    }
    std::string message;
    bool null = false;
    result = read_text(parcel, &message, &null);
    if (result != STATUS_OK) return result;
    if (exception == EX_SERVICE_SPECIFIC) {
        int32_t code = 0;
        result = AParcel_readInt32(parcel, &code);
        if (result != STATUS_OK) return result;
        *status = AStatus_fromServiceSpecificErrorWithMessage(code, message.c_str());
        return STATUS_OK;
    }
    *status = AStatus_fromExceptionCodeWithMessage(exception, message.c_str());
    return STATUS_OK;
}
