// SPDX-License-Identifier: Apache-2.0
// The transaction fuzzer's service on a device (its cc_fuzz module): the service object over the
// linked library in the fuzzer's own process, its local binder the clients' target. A local
// binder's transactions run on the sending thread, so one client sends, as the service's one
// binder thread serves one call at a time. The device's own attributes take the writes; which
// files are written is checked on the workstation, where the fake sysfs records them.
#include <cstdlib>
#include <memory>

#include "linked_api.h"
#include "quorin_hal_service.h"
#include "service_fuzz_harness.h"
#include "service_startup.h"

const FuzzedService& fuzzed_service() {
    static const HalApi api = guarded_api(linked_api());
    static const std::shared_ptr<QuorinHalService> service = [] {
        api.Init();  // the library's first call in a new process
        return ndk::SharedRefBase::make<QuorinHalService>(api, StartupOptions{}.dump_timeout);
    }();
    static const ndk::SpAIBinder binder = service->asBinder();
    static const FuzzedService fuzzed{binder.get(), 1};
    return fuzzed;
}

void check_and_forget_input() {
}
