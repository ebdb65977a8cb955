// SPDX-License-Identifier: Apache-2.0
// glibc's loader cache (/etc/ld.so.cache, written by ldconfig): where glibc's loader finds a bare
// library name after the run paths and before its default directories. Read bounded and checked:
// a cache that is missing, damaged or of a format the doctor does not read gives nothing and
// says why, never a guess.
#pragma once

#include <string>
#include <vector>

#include "elf_needed.h"

constexpr const char* kLdSoCache = "/etc/ld.so.cache";

struct LdSoCache {
    struct Entry {
        std::string name;
        std::string path;
        bool baseline = true;  // not for a hardware-capability subdirectory
    };
    std::string file;
    std::string error;           // why nothing is taken from it; "" when it was read
    std::vector<Entry> entries;  // those the loader takes for the object asked about, in order
};

// The entries of the cache at `file` that glibc's loader takes for an object like `object`: those
// of its class, machine and (ARM) float ABI.
LdSoCache read_ld_so_cache(const std::string& file, const ElfNeeded& object);

// Where the cache has `name`: its baseline entry, else the first; "" when it has none.
std::string cache_lookup(const LdSoCache& cache, const std::string& name);
