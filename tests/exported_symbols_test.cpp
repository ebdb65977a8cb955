// SPDX-License-Identifier: Apache-2.0
// The library exports exactly its documented interface, and nothing that would keep it loaded.
#include <gtest/gtest.h>

#include "elf_symbols.h"

namespace {

// Every symbol the interface's list names.
const std::set<std::string> kExported = {
#define QUORIN_HAL_ENTRY_POINT(member, function, symbol, ...) symbol,
#define QUORIN_HAL_DATA(member, object, symbol) symbol,
#include "entry_points.def"
};

TEST(ExportedSymbols, AreExactlyTheInterface) {
    const ElfExports exports = read_elf_exports(QUORIN_HAL_PATH);
    EXPECT_EQ(kExported, exports.defined);
}

// glibc refuses to unload an object that defines a unique symbol.
TEST(ExportedSymbols, NoneIsGnuUnique) {
    EXPECT_TRUE(read_elf_exports(QUORIN_HAL_PATH).gnu_unique.empty());
}

}  // namespace
