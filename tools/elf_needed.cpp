// SPDX-License-Identifier: Apache-2.0
#include "elf_needed.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

template <typename T>
bool read_at(const std::vector<char>& image, size_t offset, T* value) {
    if (offset > image.size() || image.size() - offset < sizeof(T)) return false;
    memcpy(value, image.data() + offset, sizeof(T));
    return true;
}

template <typename Ehdr, typename Shdr, typename Dyn>
bool read_needed(const std::vector<char>& image, ElfNeeded* needed) {
    Ehdr header;
    if (!read_at(image, 0, &header)) return false;
    for (size_t i = 0; i < header.e_shnum; ++i) {
        Shdr section;
        if (!read_at(image, header.e_shoff + i * header.e_shentsize, &section)) return false;
        if (section.sh_type != SHT_DYNAMIC) continue;
        Shdr strings;
        if (!read_at(image, header.e_shoff + section.sh_link * header.e_shentsize, &strings)) {
            return false;
        }
        std::string runpath;
        std::string rpath;
        for (size_t offset = 0; offset + sizeof(Dyn) <= section.sh_size; offset += sizeof(Dyn)) {
            Dyn entry;
            if (!read_at(image, section.sh_offset + offset, &entry)) return false;
            if (entry.d_tag == DT_NULL) break;
            if (entry.d_tag != DT_NEEDED && entry.d_tag != DT_RUNPATH && entry.d_tag != DT_RPATH) {
                continue;
            }
            const size_t text_at = strings.sh_offset + entry.d_un.d_val;
            if (text_at >= image.size()) return false;
            std::string text(image.data() + text_at,
                             strnlen(image.data() + text_at, image.size() - text_at));
            if (entry.d_tag == DT_NEEDED) {
                needed->libraries.push_back(std::move(text));
            } else {
                (entry.d_tag == DT_RUNPATH ? runpath : rpath) = std::move(text);
            }
        }
        // The loader ignores DT_RPATH when there is a DT_RUNPATH.
        std::istringstream dirs(runpath.empty() ? rpath : runpath);
        for (std::string dir; std::getline(dirs, dir, ':');) {
            if (!dir.empty()) needed->search.push_back(dir);
        }
        return true;
    }
    return true;  // statically linked: needs nothing
}

}  // namespace

bool read_elf_needed(const std::string& path, ElfNeeded* needed, std::string* error) {
    *needed = ElfNeeded{};
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    const std::vector<char> image((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    if (image.size() < EI_NIDENT || memcmp(image.data(), ELFMAG, SELFMAG) != 0) {
        *error = path + " is not an ELF file";
        return false;
    }
    const bool ok = image[EI_CLASS] == ELFCLASS64
                            ? read_needed<Elf64_Ehdr, Elf64_Shdr, Elf64_Dyn>(image, needed)
                            : read_needed<Elf32_Ehdr, Elf32_Shdr, Elf32_Dyn>(image, needed);
    if (!ok) *error = path + " is a truncated ELF file";
    return ok;
}
