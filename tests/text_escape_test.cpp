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
    };
    for (const auto& c : cases) EXPECT_EQ(c.shown, printable(c.text)) << c.shown;
}

TEST(HalctlTextEscape, ExcerptIsBoundedAndSaysTheLength) {
    EXPECT_EQ("12345", printable_excerpt("12345", 5));
    EXPECT_EQ("1234... (6 bytes)", printable_excerpt("123456", 4));
    const std::string megabyte(1 << 20, '9');
    EXPECT_EQ(std::string(64, '9') + "... (1048576 bytes)", printable_excerpt(megabyte, 64));
    // Cut before a character, never within it; the escaping holds for what is kept.
    EXPECT_EQ("ab... (5 bytes)", printable_excerpt("ab\xC3\xA9x", 3));
    EXPECT_EQ("\\x1b\\x00... (3 bytes)", printable_excerpt(std::string("\x1b\0z", 3), 2));
}

}  // namespace
