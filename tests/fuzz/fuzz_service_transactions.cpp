// SPDX-License-Identifier: Apache-2.0
// The hosting service's transaction path: transactions of any code, with parcels of any content,
// sent into the real service object by as many client threads at once as the harness allows,
// under AddressSanitizer and UndefinedBehaviorSanitizer. Whatever arrives, the library is never
// entered by two threads at once; the harness checks which device files were written.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "fuzz_input.h"
#include "service_fuzz_harness.h"

namespace {

HalApi real_api;
std::atomic<int> inside_library{0};

// Counts the threads inside the library for the length of one call.
struct Entered {
    Entered() {
        if (inside_library.fetch_add(1) != 0) fuzz_failure("the library was entered concurrently");
    }
    ~Entered() {
        inside_library.fetch_sub(1);
    }
    Entered(const Entered&) = delete;
    Entered& operator=(const Entered&) = delete;
};

template <typename Function>
struct Guard;
template <typename Result, typename... Params>
struct Guard<Result (*)(Params...)> {
    template <Result (*HalApi::*member)(Params...)>
    static Result call(Params... params) {
        const Entered entered;
        return (real_api.*member)(params...);
    }
};

}  // namespace

HalApi guarded_api(const HalApi& real) {
    real_api = real;
    HalApi api = real;
// NOLINTBEGIN(bugprone-macro-parentheses): a member's name, not an expression
#define QUORIN_HAL_ENTRY_POINT(member, ...) \
    api.member = &Guard<decltype(api.member)>::call<&HalApi::member>;
#define QUORIN_HAL_DATA(member, object, symbol)
#include "entry_points.def"
    // NOLINTEND(bugprone-macro-parentheses)
    return api;
}

namespace {

struct Input : FuzzInput {
    int32_t integer() {
        const uint32_t value = word();
        int32_t result;
        memcpy(&result, &value, sizeof(result));
        return result;
    }
};

// Mostly the interface's own codes (its methods, then its version and hash), sometimes any.
transaction_code_t code_of(Input& in) {
    const uint8_t kind = in.byte();
    if (kind < 200) return FIRST_CALL_TRANSACTION + kind % 8;
    if (kind < 220) return FIRST_CALL_TRANSACTION + 16777213 + kind % 2;
    return in.word();
}

// The parcel after the interface token: values of the kinds a proxy writes, in any order.
void write_arguments(Input& in, AParcel* parcel) {
    const int count = in.byte() % 5;
    for (int i = 0; i < count; ++i) {
        switch (in.byte() % 6) {
            case 0:
                AParcel_writeInt32(parcel, in.integer());
                break;
            case 1:
                AParcel_writeBool(parcel, (in.byte() & 1) != 0);
                break;
            case 2:
                AParcel_writeUint32(parcel, in.word());
                break;
            case 3:
                AParcel_writeInt64(parcel, static_cast<int64_t>(in.word()) << 32 | in.word());
                break;
            case 4: {
                const size_t length = std::min<size_t>(in.byte() % 16, in.size);
                AParcel_writeString(parcel, reinterpret_cast<const char*>(in.data),
                                    static_cast<int32_t>(length));
                in.data += length;
                in.size -= length;
                break;
            }
            default:
                AParcel_writeStrongBinder(parcel, nullptr);
                break;
        }
    }
}

void send(Input& in, AIBinder* binder) {
    if (in.byte() % 16 == 0) {
        const int fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
        AIBinder_dump(binder, fd, nullptr, 0);
        close(fd);
        return;
    }
    const transaction_code_t code = code_of(in);
    AParcel* request = nullptr;
    if (AIBinder_prepareTransaction(binder, &request) != STATUS_OK) fuzz_failure("no transaction");
    write_arguments(in, request);
    AParcel* reply = nullptr;
    const binder_flags_t flags = (in.byte() & 7) == 0 ? FLAG_ONEWAY : 0;
    if (AIBinder_transact(binder, code, &request, &reply, flags) == STATUS_OK) {
        AParcel_delete(reply);
    }
}

// Each thread sends its own share of the input's transactions.
void send_all(Input in, AIBinder* binder) {
    for (int sent = 0; !in.empty() && sent < 64; ++sent) send(in, binder);
}

}  // namespace

void fuzz_failure(const std::string& what) {
    (void)fprintf(stderr, "fuzz_service_transactions: %s\n", what.c_str());
    abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzedService& service = fuzzed_service();
    // The input in equal shares, one to each client.
    const size_t clients = static_cast<size_t>(std::max(service.clients, 1));
    const size_t share = size / clients;
    std::vector<std::thread> others;
    for (size_t i = 1; i < clients; ++i) {
        const size_t length = i + 1 == clients ? size - share * i : share;
        others.emplace_back(send_all, Input{{data + share * i, length}}, service.binder);
    }
    send_all(Input{{data, clients == 1 ? size : share}}, service.binder);
    for (std::thread& other : others) other.join();
    check_and_forget_input();
    return 0;
}
