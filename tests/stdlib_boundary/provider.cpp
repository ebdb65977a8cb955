// SPDX-License-Identifier: Apache-2.0
// A provider whose interface passes a standard-library type: what the boundary check must catch.
#include <string>

__attribute__((visibility("default"))) std::size_t planted_take(const std::string& text) {
    return text.size();
}
