// SPDX-License-Identifier: Apache-2.0
// What halctl prints of text it was handed: every control a terminal obeys escaped, whatever its
// encoding, and a long text cut to an excerpt that says how long it was.
#include "text_escape.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HalctlTextEscape, EveryTerminalControlIsEscaped) {
    const struct {
        std::string text;
        const char* shown;
    } cases[] = {
            {"plain text", "plain text"},
            {std::string("a\0b", 3), "a\\x00b"},
            {"\x1b[2J", "\\x1b[2J"},
            {"\x7f", "\\x7f"},
            {"\xC2\x9B"
             "31m",
             "\\xc2\\x9b31m"},  // CSI in UTF-8
            {"\xC2\x80\xC2\x9F", "\\xc2\\x80\\xc2\\x9f"},
            {"\x9B"
             "31m",
             "\\x9b31m"},              // CSI as one byte
            {"\xC2\xA0", "\xC2\xA0"},  // U+00A0 is text
            {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},
            {"\xFF\xC3", "\\xff\\xc3"},
            {"\xE2\x82", "\\xe2\\x82"},  // cut short
            // A backslash of the name itself reads apart from an escape.
            {"a\\x1b[2Jb", "a\\\\x1b[2Jb"},
            {"a\x1b[2Jb", "a\\x1b[2Jb"},
            // Bidirectional controls reorder what follows them on a terminal.
            {"x\xE2\x80\xAEgpj.so", "x\\xe2\\x80\\xaegpj.so"},  // U+202E
            {"\xE2\x81\xA6\xE2\x81\xA9", "\\xe2\\x81\\xa6\\xe2\\x81\\xa9"},
            {"\xE2\x80\x8F\xD8\x9C", "\\xe2\\x80\\x8f\\xd8\\x9c"},  // U+200F, U+061C
            {"\xE2\x80\x90", "\xE2\x80\x90"},                       // U+2010 is text
            // Overlong forms are no UTF-8: an overlong CSI is not let through.
            {"\xE0\x82\x9B", "\\xe0\\x82\\x9b"},
            {"\xC0\x9B", "\\xc0\\x9b"},
            {"\xED\xA0\x80", "\\xed\\xa0\\x80"},  // a surrogate
    };
    for (const auto& c : cases) EXPECT_EQ(c.shown, printable(c.text)) << c.shown;
}

TEST(HalctlTextEscape, JsonEscapesEveryControlAndReplacesWhatIsNotUtf8) {
    const struct {
        std::string text;
        const char* json;
    } cases[] = {
            {"a\"b\\c\n\t", "\"a\\\"b\\\\c\\n\\t\""},
            {std::string("\0\x1b\x7f", 3), "\"\\u0000\\u001b\\u007f\""},
            {"\xC2\x80\xC2\x9B\xC2\x9F\xC2\xA0", "\"\\u0080\\u009b\\u009f\xC2\xA0\""},
            {"\xE2\x80\xAE\xE2\x81\xA9", "\"\\u202e\\u2069\""},
            {"\xE0\x82\x9B", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
            {"caf\xC3\xA9", "\"caf\xC3\xA9\""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.json, json_string(c.text)) << c.json;
}

TEST(HalctlTextEscape, ExcerptIsBoundedAndSaysTheLength) {
    EXPECT_EQ("12345", printable_excerpt("12345", 5));
    EXPECT_EQ("1234... (6 bytes)", printable_excerpt("123456", 4));
    const std::string megabyte(1 << 20, '9');
    EXPECT_EQ(std::string(64, '9') + "... (1048576 bytes)", printable_excerpt(megabyte, 64));
    // Cut before a character, never within it; the escaping holds for what is kept.
    EXPECT_EQ("ab... (5 bytes)", printable_excerpt("ab\xC3\xA9x", 3));
    EXPECT_EQ("\\x1b\\x00... (3 bytes)", printable_excerpt(std::string("\x1b\0z", 3), 2));
    // A name of continuation bytes only is no character: cut where it stands, never to nothing.
    EXPECT_EQ("\\x80\\x80\\x80\\x80... (70 bytes)", printable_excerpt(std::string(70, '\x80'), 4));
}

}  // namespace
