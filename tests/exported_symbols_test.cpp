// The library exports exactly its documented interface, and nothing that would keep it loaded.
#include <gtest/gtest.h>

#include "elf_symbols.h"
#include "hal_library.h"

namespace {

const std::set<std::string> kExported = {
        "HAL_FrontPanelSetLedState",
        "HAL_FrontPanelSetLedColor",
        "HAL_FrontPanelInit",
        "HAL_FrontPanelDeinit",
        "HAL_FrontPanelGetVersion",
        "HAL_FrontPanelSetLedStateForVolume",
        "HAL_FrontPanelSetBeamformingDegree",
        "save_property",
        "get_property",
};

TEST(ExportedSymbols, AreExactlyTheInterface) {
    const ElfExports exports = read_elf_exports(HalLibrary::path());
    EXPECT_EQ(kExported, exports.defined);
}

// glibc refuses to unload an object that defines a unique symbol.
TEST(ExportedSymbols, NoneIsGnuUnique) {
    EXPECT_TRUE(read_elf_exports(HalLibrary::path()).gnu_unique.empty());
}

}  // namespace
