// SPDX-License-Identifier: Apache-2.0
// What the dynamic loader reads from an ELF shared object (32- or 64-bit) to load what it needs:
// its DT_NEEDED entries and its search path (DT_RUNPATH, else DT_RPATH).
#pragma once

#include <string>
#include <vector>

struct ElfNeeded {
    std::vector<std::string> libraries;  // in the loader's order
    std::vector<std::string> search;     // the run path's directories, "$ORIGIN" as written
};

// False with *error set when the file cannot be read or is not an ELF object.
bool read_elf_needed(const std::string& path, ElfNeeded* needed, std::string* error);
