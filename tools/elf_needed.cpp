#include "elf_needed.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

template <typename T>
bool read_at(const std::vector<char>& image, size_t offset, T* value) {
    if (offset > image.size() || image.size() - offset < sizeof(T)) return false;
    memcpy(value, image.data() + offset, sizeof(T));
    return true;
}

template <typename Ehdr, typename Shdr, typename Dyn>
bool read_needed(const std::vector<char>& image, std::vector<std::string>* needed) {
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
        for (size_t offset = 0; offset + sizeof(Dyn) <= section.sh_size; offset += sizeof(Dyn)) {
            Dyn entry;
            if (!read_at(image, section.sh_offset + offset, &entry)) return false;
            if (entry.d_tag == DT_NULL) break;
            if (entry.d_tag != DT_NEEDED) continue;
            const size_t name_at = strings.sh_offset + entry.d_un.d_val;
            if (name_at >= image.size()) return false;
            needed->emplace_back(image.data() + name_at,
                                 strnlen(image.data() + name_at, image.size() - name_at));
        }
        return true;
    }
    return true;  // statically linked: needs nothing
}

}  // namespace

bool read_elf_needed(const std::string& path, std::vector<std::string>* needed, std::string* error) {
    needed->clear();
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
