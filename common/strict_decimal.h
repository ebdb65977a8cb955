// SPDX-License-Identifier: Apache-2.0
// Strict signed 32-bit decimal, as halctl's arguments and the property store's integers are
// read: an optional '-', then digits only; no sign '+', blanks, hex or exponent, nothing out of
// range. std::from_chars refuses all of those by itself; only the whole text must be consumed.
#pragma once

#include <charconv>
#include <string_view>
#include <system_error>

inline bool parse_strict_decimal(std::string_view text, int* value) {
    int parsed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, parsed);
    if (error != std::errc() || stop != end) return false;
    *value = parsed;
    return true;
}
