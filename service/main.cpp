// SPDX-License-Identifier: Apache-2.0
// vendor.quorin.hal-service: hosts libquorin_hal and serves vendor.quorin.hal.IQuorinHal/default.
#include "hal_api.h"
#include "service_startup.h"

namespace {

// The library's entry points as this executable links them.
HalApi linked_api() {
    HalApi api;
// NOLINTBEGIN(bugprone-macro-parentheses): a member's name, not an expression
#define QUORIN_HAL_ENTRY_POINT(member, function, ...) api.member = &function;
#define QUORIN_HAL_DATA(member, object, symbol) api.member = &object;
#include "entry_points.def"
    // NOLINTEND(bugprone-macro-parentheses)
    return api;
}

}  // namespace

int main() {
    static const HalApi api = linked_api();
    return run_service(api, StartupOptions{});
}
