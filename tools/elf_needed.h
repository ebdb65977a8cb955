// The DT_NEEDED entries of an ELF shared object (32- or 64-bit), read from the file: the
// libraries the dynamic loader loads before it.
#pragma once

#include <string>
#include <vector>

// False with *error set when the file cannot be read or is not an ELF object.
bool read_elf_needed(const std::string& path, std::vector<std::string>* needed, std::string* error);
