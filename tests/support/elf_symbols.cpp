// SPDX-License-Identifier: Apache-2.0
#include "elf_symbols.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

// Android's <elf.h> defines the GNU binding only from API 34; its value is the ELF gABI's.
#ifndef STB_GNU_UNIQUE
#define STB_GNU_UNIQUE 10
#endif

namespace {

template <typename T>
T read_at(const std::vector<char>& image, size_t offset) {
    if (offset + sizeof(T) > image.size()) throw std::runtime_error("truncated ELF file");
    T value;
    memcpy(&value, image.data() + offset, sizeof(T));
    return value;
}

template <typename Ehdr, typename Shdr, typename Sym>
ElfExports read_exports(const std::vector<char>& image) {
    const auto header = read_at<Ehdr>(image, 0);
    ElfExports exports;
    for (size_t i = 0; i < header.e_shnum; ++i) {
        const auto section = read_at<Shdr>(image, header.e_shoff + i * header.e_shentsize);
        if (section.sh_type != SHT_DYNSYM) continue;
        const auto strings =
                read_at<Shdr>(image, header.e_shoff + section.sh_link * header.e_shentsize);
        for (size_t offset = 0; offset + sizeof(Sym) <= section.sh_size; offset += sizeof(Sym)) {
            const auto symbol = read_at<Sym>(image, section.sh_offset + offset);
            const unsigned binding = symbol.st_info >> 4;
            if (symbol.st_shndx == SHN_UNDEF || binding == STB_LOCAL) continue;
            const size_t name_at = strings.sh_offset + symbol.st_name;
            if (name_at >= image.size()) throw std::runtime_error("bad symbol name");
            const std::string name(image.data() + name_at,
                                   strnlen(image.data() + name_at, image.size() - name_at));
            if (name.empty()) continue;
            exports.defined.insert(name);
            if (binding == STB_GNU_UNIQUE) exports.gnu_unique.insert(name);
        }
    }
    return exports;
}

}  // namespace

ElfExports read_elf_exports(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    const std::vector<char> image((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    if (image.size() < EI_NIDENT || memcmp(image.data(), ELFMAG, SELFMAG) != 0) {
        throw std::runtime_error(path + " is not an ELF file");
    }
    if (image[EI_CLASS] == ELFCLASS64)
        return read_exports<Elf64_Ehdr, Elf64_Shdr, Elf64_Sym>(image);
    return read_exports<Elf32_Ehdr, Elf32_Shdr, Elf32_Sym>(image);
}
