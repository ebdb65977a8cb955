// SPDX-License-Identifier: Apache-2.0
// The library exports exactly its documented interface, and nothing that would keep it loaded.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

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

// The symbols of the exported-ABI baseline (abidw's corpus): each <elf-symbol name='...'> of its
// function and variable symbol lists.
std::set<std::string> baseline_symbols(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const std::string corpus = text.str();
    const size_t begin = corpus.find("<elf-function-symbols>");
    const size_t end = corpus.find("</elf-variable-symbols>");
    std::set<std::string> symbols;
    if (begin == std::string::npos || end == std::string::npos) return symbols;
    const std::string opening = "<elf-symbol name='";
    for (size_t at = corpus.find(opening, begin); at < end; at = corpus.find(opening, at)) {
        at += opening.size();
        symbols.insert(corpus.substr(at, corpus.find('\'', at) - at));
    }
    return symbols;
}

// The library against the exported ABI's baseline, as scripts/abi-check holds it but within the
// suite: an entry point dropped from the interface's list, or a version script that keeps
// everything global, is seen here.
TEST(ExportedSymbols, AreTheAbiBaselines) {
#ifdef QUORIN_ABI_BASELINE
    const std::set<std::string> baseline = baseline_symbols(QUORIN_ABI_BASELINE);
    ASSERT_FALSE(baseline.empty()) << QUORIN_ABI_BASELINE << " lists no symbols";
    EXPECT_EQ(baseline, read_elf_exports(QUORIN_HAL_PATH).defined) << QUORIN_ABI_BASELINE;
#else
    GTEST_SKIP() << "no ABI baseline for this architecture";
#endif
}

// glibc refuses to unload an object that defines a unique symbol.
TEST(ExportedSymbols, NoneIsGnuUnique) {
    EXPECT_TRUE(read_elf_exports(QUORIN_HAL_PATH).gnu_unique.empty());
}

}  // namespace
