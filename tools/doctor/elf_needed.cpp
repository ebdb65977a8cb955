// SPDX-License-Identifier: Apache-2.0
#include "elf_needed.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sstream>

// Older C libraries' <elf.h> may lack the newer tags.
#ifndef DT_RUNPATH
#define DT_RUNPATH 29
#endif

namespace {

// Bounds on what one object may make the reader read.
constexpr size_t kMostProgramHeaders = 256;
constexpr size_t kMostDynamicEntries = 65536;
constexpr size_t kMostNeeded = 1024;
constexpr size_t kMostStringTable = size_t{1} << 20;
// Past this no header is followed: offsets stay within a 32-bit off_t (32-bit bionic's).
constexpr uint64_t kMostFileBytes = uint64_t{1} << 30;
constexpr const char* kTruncated = "is a truncated ELF file";

class ElfFile {
  public:
    ElfFile(int fd, uint64_t size) : fd_(fd), size_(std::min(size, kMostFileBytes)) {
    }

    template <typename T>
    bool read(uint64_t offset, T* value) const {
        return read_bytes(offset, value, sizeof(T));
    }

    bool read_bytes(uint64_t offset, void* out, size_t length) const {
        if (offset > size_ || size_ - offset < length) return false;
        auto* bytes = static_cast<char*>(out);
        size_t done = 0;
        while (done < length) {
            const ssize_t n =
                    pread(fd_, bytes + done, length - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

  private:
    int fd_;
    uint64_t size_;
};

std::vector<std::string> split_path(const std::string& text) {
    std::vector<std::string> dirs;
    std::istringstream fields(text);
    for (std::string dir; std::getline(fields, dir, ':');) {
        if (!dir.empty()) dirs.push_back(dir);
    }
    return dirs;
}

bool little_endian_machine() {
    const uint16_t one = 1;
    unsigned char first = 0;
    memcpy(&first, &one, 1);
    return first == 1;
}

// What the identification bytes say that this reader (and this machine's loader) cannot take,
// else "".
std::string ident_error(const unsigned char* ident) {
    if (ident[EI_CLASS] != ELFCLASS32 && ident[EI_CLASS] != ELFCLASS64) {
        return "has an unknown ELF class " + std::to_string(ident[EI_CLASS]) +
               " (neither 32- nor 64-bit)";
    }
    const unsigned char own = little_endian_machine() ? ELFDATA2LSB : ELFDATA2MSB;
    if (ident[EI_DATA] == own) return "";
    if (ident[EI_DATA] == ELFDATA2LSB || ident[EI_DATA] == ELFDATA2MSB) {
        return std::string("is ") + (ident[EI_DATA] == ELFDATA2MSB ? "big" : "little") +
               "-endian: the wrong byte order for this machine";
    }
    return "has an unknown ELF byte order " + std::to_string(ident[EI_DATA]);
}

// "" when read, else what stopped the reading.
template <typename Ehdr, typename Phdr, typename Dyn>
std::string read_needed(const ElfFile& file, ElfNeeded* needed) {
    Ehdr header;
    if (!file.read(0, &header)) return kTruncated;
    needed->machine = header.e_machine;
    needed->flags = header.e_flags;
    if (header.e_phentsize != sizeof(Phdr)) {
        return "has program headers of " + std::to_string(header.e_phentsize) + " bytes, not the " +
               std::to_string(sizeof(Phdr)) + " of its ELF class";
    }
    if (header.e_phnum > kMostProgramHeaders) {
        return "has more program headers (" + std::to_string(header.e_phnum) +
               ") than the doctor reads (" + std::to_string(kMostProgramHeaders) + ")";
    }
    std::vector<Phdr> loads;
    Phdr dynamic{};
    bool has_dynamic = false;
    for (size_t i = 0; i < header.e_phnum; ++i) {
        Phdr segment;
        if (!file.read(
                    static_cast<uint64_t>(header.e_phoff) + static_cast<uint64_t>(i) * sizeof(Phdr),
                    &segment)) {
            return kTruncated;
        }
        if (segment.p_type == PT_LOAD) loads.push_back(segment);
        if (segment.p_type == PT_DYNAMIC) {
            dynamic = segment;
            has_dynamic = true;
        }
    }
    if (!has_dynamic) return "";  // statically linked: needs nothing

    // An address of the loaded image as an offset in the file, as the loader maps it.
    const auto offset_of = [&loads](uint64_t address, uint64_t* offset) {
        for (const Phdr& load : loads) {
            if (address >= load.p_vaddr && address - load.p_vaddr < load.p_filesz) {
                *offset = static_cast<uint64_t>(load.p_offset) + (address - load.p_vaddr);
                return true;
            }
        }
        return false;
    };
    // The dynamic section in one read, within the bound.
    const auto count = static_cast<size_t>(
            std::min<uint64_t>(dynamic.p_filesz / sizeof(Dyn), kMostDynamicEntries));
    std::vector<Dyn> entries(count);
    if (!file.read_bytes(dynamic.p_offset, entries.data(), count * sizeof(Dyn))) return kTruncated;
    std::vector<uint64_t> needed_at;
    uint64_t runpath_at = 0;
    uint64_t rpath_at = 0;
    bool has_runpath = false;
    bool has_rpath = false;
    bool ended = false;
    uint64_t strtab = 0;
    uint64_t strsz = 0;
    for (const Dyn& entry : entries) {
        const uint64_t value = entry.d_un.d_val;
        if (entry.d_tag == DT_NULL) {
            ended = true;
            break;
        }
        if (entry.d_tag == DT_NEEDED) needed_at.push_back(value);
        if (entry.d_tag == DT_RUNPATH) {
            has_runpath = true;
            runpath_at = value;
        }
        if (entry.d_tag == DT_RPATH) {
            has_rpath = true;
            rpath_at = value;
        }
        if (entry.d_tag == DT_STRTAB) strtab = value;
        if (entry.d_tag == DT_STRSZ) strsz = value;
    }
    if (needed_at.size() > kMostNeeded) {
        return "has more DT_NEEDED entries (" + std::to_string(needed_at.size()) +
               (ended ? "" : " or more") + ") than the doctor reads (" +
               std::to_string(kMostNeeded) + ")";
    }
    if (!ended && dynamic.p_filesz / sizeof(Dyn) > kMostDynamicEntries) {
        return "has a dynamic section longer than the doctor reads (" +
               std::to_string(kMostDynamicEntries) + " entries)";
    }
    if (needed_at.empty() && !has_runpath && !has_rpath) return "";
    if (strsz > kMostStringTable) {
        return "has a string table larger than the doctor reads (" +
               std::to_string(kMostStringTable) + " bytes)";
    }
    uint64_t strings_offset = 0;
    if (!offset_of(strtab, &strings_offset) || strsz == 0) {
        return "has a dynamic string table outside its loaded segments";
    }
    std::string strings(static_cast<size_t>(strsz), '\0');
    if (!file.read_bytes(strings_offset, strings.data(), strings.size())) return kTruncated;
    const auto text_at = [&strings](uint64_t at, std::string* text) {
        if (at >= strings.size()) return false;
        *text = std::string(strings.c_str() + at);
        return true;
    };
    const char* const kOutside = "names a library outside its dynamic string table";
    for (const uint64_t at : needed_at) {
        std::string name;
        if (!text_at(at, &name)) return kOutside;
        needed->libraries.push_back(std::move(name));
    }
    std::string text;
    if (has_runpath) {
        if (!text_at(runpath_at, &text)) return kOutside;
        needed->runpath = split_path(text);
    }
    if (has_rpath) {
        if (!text_at(rpath_at, &text)) return kOutside;
        needed->rpath = split_path(text);
    }
    return "";
}

std::string file_kind(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

}  // namespace

bool read_elf_needed(const std::string& path, ElfNeeded* needed, std::string* error) {
    *needed = ElfNeeded{};
    // Non-blocking: a FIFO would hold a plain open until someone wrote to it.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *error = "cannot read " + path;
        return false;
    }
    struct stat info {};
    bool ok = fstat(fd, &info) == 0;
    if (ok && !S_ISREG(info.st_mode)) {
        *error = path + " is " + file_kind(info.st_mode) + ", not a library file";
        close(fd);
        return false;
    }
    // st_size is wider than 32-bit bionic's off_t: kept as it is, never narrowed.
    const ElfFile file(fd, ok && info.st_size > 0 ? static_cast<uint64_t>(info.st_size) : 0);
    unsigned char ident[EI_NIDENT] = {};
    if (!ok || !file.read_bytes(0, ident, sizeof(ident)) || memcmp(ident, ELFMAG, SELFMAG) != 0) {
        *error = path + " is not an ELF file";
        close(fd);
        return false;
    }
    std::string fault = ident_error(ident);
    needed->is_64bit = ident[EI_CLASS] == ELFCLASS64;
    if (fault.empty()) {
        fault = needed->is_64bit ? read_needed<Elf64_Ehdr, Elf64_Phdr, Elf64_Dyn>(file, needed)
                                 : read_needed<Elf32_Ehdr, Elf32_Phdr, Elf32_Dyn>(file, needed);
    }
    close(fd);
    if (!fault.empty()) *error = path + " " + fault;
    return fault.empty();
}
