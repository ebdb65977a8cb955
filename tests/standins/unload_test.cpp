// SPDX-License-Identifier: Apache-2.0
// The stand-ins of the vendor's libraries come and go with the library, as the vendor's own do:
// this executable links none of them, so the library's load brings them and its unload takes
// them away, unless one defines a symbol that keeps it (STB_GNU_UNIQUE).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "elf_symbols.h"

namespace {

const char* const kStandIns[] = {HAL_SIM_PATH, SYSTEMCONTROLSERVICE_PATH, AMLAUDIOOUTPORT_PATH};

bool resident(const char* path) {
    void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}

TEST(StandIns, LeaveTheProcessWithTheLibrary) {
    // Every process on a device has libutils for good; here it is pinned the same way, so that
    // what it keeps from its own load stays reachable and only the stand-ins come and go.
    ASSERT_NE(nullptr, dlopen(LIBUTILS_PATH, RTLD_NOW | RTLD_NODELETE)) << dlerror();
    for (int cycle = 0; cycle < 2; ++cycle) {
        void* library = dlopen(QUORIN_HAL_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(nullptr, library) << dlerror();
        for (const char* path : kStandIns) EXPECT_TRUE(resident(path)) << path;
        dlclose(library);
        EXPECT_FALSE(resident(QUORIN_HAL_PATH));
        for (const char* path : kStandIns) EXPECT_FALSE(resident(path)) << path << " stayed";
    }
}

TEST(StandIns, DefineNoUniqueSymbol) {
    for (const char* path : kStandIns) {
        EXPECT_EQ(std::set<std::string>{}, read_elf_exports(path).gnu_unique) << path;
    }
}

}  // namespace
