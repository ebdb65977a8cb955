// SPDX-License-Identifier: Apache-2.0
// The library exports exactly its documented interface, and nothing that would keep it loaded.
#include <gtest/gtest.h>

#include "elf_symbols.h"

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
        "HAL_MicGetVersion",
        "HAL_MicInit",
        "HAL_MicDeinit",
        "HAL_MicSetOnOff",
        "HAL_MicGetOnOff",
        "HAL_MicSetEchoLevel",
        "HAL_MicGetEchoLevel",
        "HAL_MicGetEchoMaxLevel",
        "HAL_MicSetVolume",
        "HAL_MicGetVolume",
        "HAL_MicPause",
        "HAL_MicResume",
        "_ZN7android19enableMicAudioPatchEv",     // android::enableMicAudioPatch()
        "_ZN7android20disableMicAudioPatchEv",    // android::disableMicAudioPatch()
        "_ZN7android22isMicAudioPatchEnabledEv",  // android::isMicAudioPatchEnabled()
        "_Z9enableMICv",                          // enableMIC()
        "_Z10disableMICv",                        // disableMIC()
        "_Z18setEchoDecayWeighti",                // setEchoDecayWeight(int)
        "_ZN7android13aml_audioportE",            // android::aml_audioport
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
