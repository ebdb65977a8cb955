// SPDX-License-Identifier: Apache-2.0
// Text from the device (paths, attribute and property values, library names) made safe to print:
// it may hold any byte.
#pragma once

#include <string>

// A JSON string literal, quotes included, valid whatever the bytes: control bytes (C0, DEL, C1)
// and the bidirectional controls as \uXXXX (\n, \t, \" and \\ as such), each byte of an
// invalid UTF-8 sequence (overlong forms and surrogates among them) as U+FFFD.
std::string json_string(const std::string& text);

// For a terminal: control bytes (C0, DEL and C1, the last as a lone byte or encoded in UTF-8), the
// bidirectional controls (U+061C, U+200E, U+200F, U+202A..U+202E, U+2066..U+2069) and each byte
// of a sequence that is not UTF-8 (overlong forms among them) as \xNN, NUL included; a backslash
// as \\, so that every escape reads one way; other text as it is.
std::string printable(const std::string& text);

// printable() of at most `limit` bytes of the text; a longer text is cut there (on a character's
// first byte) and followed by "... (N bytes)", its whole length.
std::string printable_excerpt(const std::string& text, size_t limit);
