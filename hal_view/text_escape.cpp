// SPDX-License-Identifier: Apache-2.0
#include "text_escape.h"

#include <cstdio>
#include <string>

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence at text[at], or 0: no overlong forms, no surrogates,
// nothing past U+10FFFF.
size_t utf8_length(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

// The code point of a valid sequence of `length` bytes at text[at].
unsigned code_point(const std::string& text, size_t at, size_t length) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
    if (length == 1) return byte(0);
    unsigned value = byte(0) & (0xFFu >> (length + 1));
    for (size_t i = 1; i < length; ++i) value = (value << 6) | (byte(i) & 0x3Fu);
    return value;
}

// C1 controls, and the bidirectional controls that reorder what a terminal shows around them.
bool hidden_control(unsigned c) {
    return (c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string hex_escape(const char* format, unsigned c) {
    char escaped[8];
    (void)snprintf(escaped, sizeof(escaped), format, c);
    return escaped;
}

}  // namespace

std::string json_string(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const size_t length = utf8_length(text, i);
            if (length == 0) {
                out += kReplacement;
            } else if (hidden_control(code_point(text, i, length))) {
                out += hex_escape("\\u%04x", code_point(text, i, length));
            } else {
                out += text.substr(i, length);
            }
            i += length == 0 ? 1 : length;
            continue;
        }
        ++i;
        if (c == '"') {
            out += "\\\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += hex_escape("\\u%04x", c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string printable(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            // A lone byte 0x80..0x9F is a C1 control to a terminal in 8-bit mode, and U+0080..
            // U+009F in UTF-8 is one to a UTF-8 terminal (CSI among them): both escaped, as are
            // the bidirectional controls and every byte of a sequence that is not UTF-8.
            const size_t length = utf8_length(text, i);
            if (length == 0 || hidden_control(code_point(text, i, length))) {
                const size_t escaped = length == 0 ? 1 : length;
                for (size_t j = 0; j < escaped; ++j) {
                    out += hex_escape("\\x%02x", static_cast<unsigned char>(text[i + j]));
                }
                i += escaped;
            } else {
                out += text.substr(i, length);
                i += length;
            }
            continue;
        }
        // A backslash is escaped too, so that "\x1b" in a name never reads as an escaped ESC.
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += hex_escape("\\x%02x", byte);
        } else {
            out += static_cast<char>(byte);
        }
        ++i;
    }
    return out;
}

std::string printable_excerpt(const std::string& text, size_t limit) {
    if (text.size() <= limit) return printable(text);
    // Cut on a character's first byte, so that the excerpt's last character is whole: at most
    // three bytes back, to a lead byte; bytes that are no character's are cut where they stand.
    const auto continuation = [&](size_t at) {
        return (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
    };
    size_t cut = limit;
    while (cut > 0 && limit - cut < 3 && continuation(cut)) --cut;
    if (cut != limit && utf8_length(text, cut) == 0) cut = limit;
    return printable(text.substr(0, cut)) + "... (" + std::to_string(text.size()) + " bytes)";
}
