// Strict signed 32-bit decimal, as halctl's arguments and the property store's integers are
// read: an optional '-', then digits only; no sign '+', blanks, hex or exponent, nothing out of
// range.
#pragma once

#include <climits>
#include <string_view>

inline bool parse_strict_decimal(std::string_view text, int* value) {
    const bool negative = !text.empty() && text[0] == '-';
    const size_t first = negative ? 1 : 0;
    if (first >= text.size()) return false;
    long long parsed = 0;
    for (size_t i = first; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        parsed = parsed * 10 + (text[i] - '0');
        if (parsed > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (negative) parsed = -parsed;
    if (parsed < INT_MIN || parsed > INT_MAX) return false;
    *value = static_cast<int>(parsed);
    return true;
}
