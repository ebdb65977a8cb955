// SPDX-License-Identifier: Apache-2.0
// The dynamic symbol table of an ELF shared object (32- or 64-bit), read from the file.
#pragma once

#include <set>
#include <string>

struct ElfExports {
    std::set<std::string> defined;     // global and weak symbols the object defines
    std::set<std::string> gnu_unique;  // those bound STB_GNU_UNIQUE, which block dlclose
};

// Throws std::runtime_error when the file is not a readable ELF object.
ElfExports read_elf_exports(const std::string& path);
