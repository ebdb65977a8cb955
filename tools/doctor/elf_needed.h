// SPDX-License-Identifier: Apache-2.0
// What the dynamic loader reads from an ELF shared object (32- or 64-bit) to load what it needs:
// its DT_NEEDED entries and its search paths, found as the loader finds them, through the program
// headers (PT_DYNAMIC, its addresses mapped to file offsets through PT_LOAD), so that an object
// without section headers reads as it loads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ElfNeeded {
    bool is_64bit = false;
    uint16_t machine = 0;  // e_machine
    uint32_t flags = 0;    // e_flags: for ARM, the float ABI a loader's cache entries are kept by
    std::vector<std::string> libraries;  // in the loader's order
    std::vector<std::string> runpath;    // DT_RUNPATH's directories, "$ORIGIN" as written
    std::vector<std::string> rpath;      // DT_RPATH's, which the loader ignores beside a DT_RUNPATH
};

// False with *error set when the file cannot be read, is not a regular file (a directory, a FIFO,
// a device: never opened for long nor read without end), is not an ELF object, or is one this
// machine's loader cannot take or the reader does not read whole; *error says which (the path,
// then "is a truncated ELF file", "is big-endian: the wrong byte order for this machine", "has an
// unknown ELF class 3 ...", "has more DT_NEEDED entries (N) than the doctor reads (1024)", ...).
// Reads at most what the headers name, within the file's size and the reader's bounds.
bool read_elf_needed(const std::string& path, ElfNeeded* needed, std::string* error);
