// SPDX-License-Identifier: Apache-2.0
// AStatus: what a method reports, an exception with a message or a transport status.
#include <android/binder_status.h>

#include <cstdlib>
#include <cstring>
#include <string>

struct AStatus {
    binder_exception_t exception = EX_NONE;
    int32_t service_specific = 0;
    binder_status_t status = STATUS_OK;
    std::string message;
};

namespace {

const char* exception_name(binder_exception_t exception) {
    switch (exception) {
        case EX_NONE:
            return "EX_NONE";
        case EX_SECURITY:
            return "EX_SECURITY";
        case EX_BAD_PARCELABLE:
            return "EX_BAD_PARCELABLE";
        case EX_ILLEGAL_ARGUMENT:
            return "EX_ILLEGAL_ARGUMENT";
        case EX_NULL_POINTER:
            return "EX_NULL_POINTER";
        case EX_ILLEGAL_STATE:
            return "EX_ILLEGAL_STATE";
        case EX_NETWORK_MAIN_THREAD:
            return "EX_NETWORK_MAIN_THREAD";
        case EX_UNSUPPORTED_OPERATION:
            return "EX_UNSUPPORTED_OPERATION";
        case EX_SERVICE_SPECIFIC:
            return "EX_SERVICE_SPECIFIC";
        case EX_PARCELABLE:
            return "EX_PARCELABLE";
        case EX_TRANSACTION_FAILED:
            return "EX_TRANSACTION_FAILED";
        default:
            return "EX_UNKNOWN";
    }
}

AStatus* make(binder_exception_t exception, const char* message) {
    auto* status = new AStatus;
    status->exception = exception;
    if (message != nullptr) status->message = message;
    // A transaction failure without a status of its own is the generic one.
    if (exception == EX_TRANSACTION_FAILED) status->status = STATUS_FAILED_TRANSACTION;
    return status;
}

}  // namespace

AStatus* AStatus_newOk() {
    return new AStatus;
}

AStatus* AStatus_fromExceptionCode(binder_exception_t exception) {
    return make(exception, nullptr);
}

AStatus* AStatus_fromExceptionCodeWithMessage(binder_exception_t exception, const char* message) {
    return make(exception, message);
}

AStatus* AStatus_fromServiceSpecificError(int32_t serviceSpecific) {
    return AStatus_fromServiceSpecificErrorWithMessage(serviceSpecific, nullptr);
}

AStatus* AStatus_fromServiceSpecificErrorWithMessage(int32_t serviceSpecific, const char* message) {
    AStatus* status = make(EX_SERVICE_SPECIFIC, message);
    status->service_specific = serviceSpecific;
    return status;
}

AStatus* AStatus_fromStatus(binder_status_t status) {
    if (status == STATUS_OK) return AStatus_newOk();
    AStatus* result = make(EX_TRANSACTION_FAILED, nullptr);
    result->status = status;
    return result;
}

bool AStatus_isOk(const AStatus* status) {
    return status->exception == EX_NONE;
}

binder_exception_t AStatus_getExceptionCode(const AStatus* status) {
    return status->exception;
}

int32_t AStatus_getServiceSpecificError(const AStatus* status) {
    return status->exception == EX_SERVICE_SPECIFIC ? status->service_specific : 0;
}

binder_status_t AStatus_getStatus(const AStatus* status) {
    return status->exception == EX_TRANSACTION_FAILED ? status->status : STATUS_OK;
}

const char* AStatus_getMessage(const AStatus* status) {
    return status->message.c_str();
}

const char* AStatus_getDescription(const AStatus* status) {
    std::string text;
    if (status->exception == EX_NONE) {
        text = "No error";
    } else {
        text = "Status(" + std::to_string(status->exception) + ", " +
               exception_name(status->exception) + "): '";
        if (status->exception == EX_SERVICE_SPECIFIC) {
            text += std::to_string(status->service_specific) + ": ";
        } else if (status->exception == EX_TRANSACTION_FAILED) {
            text += std::to_string(status->status) + ": ";
        }
        text += status->message + "'";
    }
    return strdup(text.c_str());
}

void AStatus_deleteDescription(const char* description) {
    free(const_cast<char*>(description));  // NOLINT(cppcoreguidelines-no-malloc)
}

void AStatus_delete(AStatus* status) {
    delete status;
}
