// SPDX-License-Identifier: Apache-2.0
#include "ld_so_cache.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

// ldconfig's format since glibc 2.32 (before, the same table follows an older one).
constexpr char kMagic[] = "glibc-ld.so.cache1.1";
constexpr char kOldMagic[] = "ld.so-1.7.0";
constexpr size_t kHeaderBytes = 48;  // magic, count, string bytes, flags, extension, reserved
constexpr size_t kEntryBytes = 24;   // flags, name, path, OS version, hardware capabilities
constexpr size_t kOldHeaderBytes = 16;
constexpr size_t kOldEntryBytes = 12;
constexpr size_t kMostCacheBytes = size_t{64} << 20;

// An entry's kind: its low byte the C library's (glibc's own is 3), its next the object's machine
// and ABI, as the loader of each machine takes them.
constexpr uint32_t kLibc6 = 0x0003;
constexpr uint32_t kX8664 = 0x0300;
constexpr uint32_t kX32 = 0x0800;
constexpr uint32_t kArmHardFloat = 0x0900;
constexpr uint32_t kAarch64 = 0x0a00;
constexpr uint32_t kArmSoftFloat = 0x0b00;
constexpr uint32_t kArmAbiFloatHard = 0x400;  // e_flags' EF_ARM_ABI_FLOAT_HARD

uint32_t u32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    memcpy(&value, bytes.data() + at, sizeof(value));
    return value;
}

uint64_t u64(const std::string& bytes, size_t at) {
    uint64_t value = 0;
    memcpy(&value, bytes.data() + at, sizeof(value));
    return value;
}

// The kinds the loader of `object`'s machine takes; empty when the doctor does not know them.
std::vector<uint32_t> kinds_for(const ElfNeeded& object) {
    switch (object.machine) {
        case EM_X86_64:
            return {kLibc6 | (object.is_64bit ? kX8664 : kX32)};
        case EM_386:
            return {kLibc6};
        case EM_AARCH64:
            return {kLibc6 | kAarch64};
        case EM_ARM:
            if ((object.flags & kArmAbiFloatHard) != 0) return {kLibc6 | kArmHardFloat};
            return {kLibc6 | kArmSoftFloat, kLibc6};
        default:
            return {};
    }
}

// The file's bytes, at most kMostCacheBytes; false with *error set.
bool read_whole(const std::string& file, std::string* bytes, std::string* error) {
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *error = std::string("cannot read it: ") + strerror(errno);  // NOLINT(concurrency-mt-unsafe)
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *error = "not a regular file";
        close(fd);
        return false;
    }
    if (static_cast<uint64_t>(info.st_size) > kMostCacheBytes) {
        *error = "larger than the doctor reads (" + std::to_string(kMostCacheBytes) + " bytes)";
        close(fd);
        return false;
    }
    bytes->resize(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < bytes->size()) {
        const ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    close(fd);
    bytes->resize(done);
    return true;
}

// Where the current table begins: at the start, or after the older table; npos when neither.
size_t table_start(const std::string& bytes) {
    if (bytes.compare(0, sizeof(kMagic) - 1, kMagic) == 0) return 0;
    if (bytes.compare(0, sizeof(kOldMagic) - 1, kOldMagic) != 0 || bytes.size() < kOldHeaderBytes) {
        return std::string::npos;
    }
    const uint64_t old_entries = u32(bytes, 12);
    const uint64_t end = kOldHeaderBytes + old_entries * kOldEntryBytes;
    const uint64_t aligned = (end + 7) & ~uint64_t{7};
    if (aligned > bytes.size() || bytes.compare(aligned, sizeof(kMagic) - 1, kMagic) != 0) {
        return std::string::npos;
    }
    return static_cast<size_t>(aligned);
}

// The NUL-terminated text at `offset` from the table's start, within the file; false outside.
bool text_at(const std::string& bytes, size_t table, uint64_t offset, std::string* text) {
    if (offset >= bytes.size() - table) return false;
    const size_t start = table + static_cast<size_t>(offset);
    const size_t end = bytes.find('\0', start);
    if (end == std::string::npos) return false;
    *text = bytes.substr(start, end - start);
    return true;
}

}  // namespace

LdSoCache read_ld_so_cache(const std::string& file, const ElfNeeded& object) {
    LdSoCache cache;
    cache.file = file;
    const std::vector<uint32_t> kinds = kinds_for(object);
    if (kinds.empty()) {
        cache.error = "the doctor does not know which of its entries a loader of ELF machine " +
                      std::to_string(object.machine) + " takes";
        return cache;
    }
    std::string bytes;
    if (!read_whole(file, &bytes, &cache.error)) return cache;
    const size_t table = table_start(bytes);
    if (table == std::string::npos) {
        cache.error = "not a cache the doctor reads (neither \"" + std::string(kMagic) +
                      "\" nor \"" + kOldMagic + "\" before it)";
        return cache;
    }
    if (bytes.size() - table < kHeaderBytes) {
        cache.error = "truncated";
        return cache;
    }
    const uint64_t count = u32(bytes, table + 20);
    if (count > (bytes.size() - table - kHeaderBytes) / kEntryBytes) {
        cache.error = "truncated: it names " + std::to_string(count) + " entries";
        return cache;
    }
    for (uint64_t i = 0; i < count; ++i) {
        const size_t at = table + kHeaderBytes + static_cast<size_t>(i) * kEntryBytes;
        LdSoCache::Entry entry;
        if (!text_at(bytes, table, u32(bytes, at + 4), &entry.name) ||
            !text_at(bytes, table, u32(bytes, at + 8), &entry.path)) {
            cache.entries.clear();
            cache.error = "damaged: entry " + std::to_string(i) + " points outside the file";
            return cache;
        }
        const uint32_t kind = u32(bytes, at);
        if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) continue;
        // Any capability bit, or a glibc-hwcaps subdirectory's index, is for some processors only.
        entry.baseline = u64(bytes, at + 16) == 0;
        cache.entries.push_back(std::move(entry));
    }
    return cache;
}

std::string cache_lookup(const LdSoCache& cache, const std::string& name) {
    const LdSoCache::Entry* first = nullptr;
    for (const LdSoCache::Entry& entry : cache.entries) {
        if (entry.name != name) continue;
        if (entry.baseline) return entry.path;
        if (first == nullptr) first = &entry;
    }
    return first != nullptr ? first->path : "";
}
