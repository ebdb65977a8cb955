// SPDX-License-Identifier: Apache-2.0
// Calls across the planted standard-library boundary of provider.cpp.
#include <string>

std::size_t planted_take(const std::string& text);

__attribute__((visibility("default"))) std::size_t planted_call() {
    return planted_take("across");
}
