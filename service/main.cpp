// SPDX-License-Identifier: Apache-2.0
// vendor.quorin.hal-service: hosts libquorin_hal and serves vendor.quorin.hal.IQuorinHal/default.
#include "linked_api.h"
#include "service_startup.h"

int main() {
    static const HalApi api = linked_api();
    return run_service(api, StartupOptions{});
}
