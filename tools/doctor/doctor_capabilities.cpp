// SPDX-License-Identifier: Apache-2.0
#include "doctor_capabilities.h"

#include <cstdint>
#include <sstream>

#include "device_read.h"

namespace {

constexpr unsigned kCapDacOverride = 1;  // linux/capability.h
constexpr size_t kCapabilityDigits = 16;

}  // namespace

std::optional<bool> dac_override_in_status(const std::string& status) {
    std::istringstream lines(status);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("CapEff:", 0) != 0) continue;
        const size_t start = line.find_first_not_of(" \t", 7);
        if (start == std::string::npos) return std::nullopt;
        const std::string digits = line.substr(start);
        if (digits.empty() || digits.size() > kCapabilityDigits ||
            digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            return std::nullopt;
        }
        const uint64_t mask = std::stoull(digits, nullptr, 16);
        return ((mask >> kCapDacOverride) & 1U) != 0;
    }
    return std::nullopt;
}

bool has_dac_override() {
    std::string status;
    if (!read_attribute("/proc/self/status", &status)) return false;
    return dac_override_in_status(status).value_or(false);
}
