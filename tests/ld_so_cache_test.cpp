// SPDX-License-Identifier: Apache-2.0
// glibc's loader cache as the doctor reads it: only the entries the object's loader takes, and a
// damaged or foreign file answers nothing and says why.
#include "ld_so_cache.h"

#include <elf.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>

#include "temp_dir.h"

namespace {

struct Row {
    uint32_t kind;
    std::string name;
    std::string path;
    uint64_t hwcap = 0;
};

void put32(std::string* bytes, size_t at, uint32_t value) {
    memcpy(bytes->data() + at, &value, sizeof(value));
}

// A cache as ldconfig writes it: the header, the entries, then their strings; `old_table`
// entries of the older format in front. Offsets count from the current table's start.
std::string cache_bytes(const std::vector<Row>& rows, uint32_t old_table = 0) {
    std::string prefix;
    if (old_table > 0) {
        prefix = std::string("ld.so-1.7.0") + std::string(1, '\0');
        prefix.resize(16 + size_t{old_table} * 12, '\0');
        put32(&prefix, 12, old_table);
        prefix.resize((prefix.size() + 7) & ~size_t{7}, '\0');
    }
    std::string table = "glibc-ld.so.cache1.1";
    table.resize(48 + rows.size() * 24, '\0');
    put32(&table, 20, static_cast<uint32_t>(rows.size()));
    table[28] = 2;  // little-endian
    for (size_t i = 0; i < rows.size(); ++i) {
        const size_t at = 48 + i * 24;
        put32(&table, at, rows[i].kind);
        put32(&table, at + 4, static_cast<uint32_t>(table.size()));
        table += rows[i].name + '\0';
        put32(&table, at + 8, static_cast<uint32_t>(table.size()));
        table += rows[i].path + '\0';
        memcpy(table.data() + at + 16, &rows[i].hwcap, sizeof(uint64_t));
    }
    return prefix + table;
}

ElfNeeded object(bool is_64bit, uint16_t machine, uint32_t flags = 0) {
    ElfNeeded needed;
    needed.is_64bit = is_64bit;
    needed.machine = machine;
    needed.flags = flags;
    return needed;
}

class LdSoCacheTest : public ::testing::Test {
  protected:
    std::string written(const std::string& bytes) {
        std::string file = dir_.path() + "/ld.so.cache";
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        return file;
    }
    TempDir dir_{"ld_so_cache"};
};

const std::vector<Row> kMixed = {
        {0x0303, "libz.so.1", "/lib/x86_64-linux-gnu/libz.so.1"},
        {0x0903, "libz.so.1", "/lib/arm-linux-gnueabihf/libz.so.1"},
        {0x0003, "libz.so.1", "/lib/i386-linux-gnu/libz.so.1"},
        {0x0b03, "libz.so.1", "/lib/arm-linux-gnueabi/libz.so.1"},
        {0x0a03, "libz.so.1", "/lib/aarch64-linux-gnu/libz.so.1"},
        {0x0803, "libz.so.1", "/libx32/libz.so.1"},
};

TEST_F(LdSoCacheTest, EachLoaderTakesItsOwnMachinesEntries) {
    const std::string file = written(cache_bytes(kMixed));
    const struct {
        const char* what;
        ElfNeeded object;
        std::vector<std::string> paths;
    } cases[] = {
            {"x86-64", object(true, EM_X86_64), {"/lib/x86_64-linux-gnu/libz.so.1"}},
            {"x32", object(false, EM_X86_64), {"/libx32/libz.so.1"}},
            {"i386", object(false, EM_386), {"/lib/i386-linux-gnu/libz.so.1"}},
            {"armhf", object(false, EM_ARM, 0x05000400), {"/lib/arm-linux-gnueabihf/libz.so.1"}},
            // Soft-float ARM's loader also takes the unmarked entries of caches from before
            // ldconfig marked ARM's float ABI.
            {"armel",
             object(false, EM_ARM, 0x05000200),
             {"/lib/i386-linux-gnu/libz.so.1", "/lib/arm-linux-gnueabi/libz.so.1"}},
            {"aarch64", object(true, EM_AARCH64), {"/lib/aarch64-linux-gnu/libz.so.1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const LdSoCache cache = read_ld_so_cache(file, c.object);
        EXPECT_EQ("", cache.error);
        std::vector<std::string> paths;
        for (const LdSoCache::Entry& entry : cache.entries) paths.push_back(entry.path);
        EXPECT_EQ(c.paths, paths);
        EXPECT_EQ(c.paths.front(), cache_lookup(cache, "libz.so.1"));
        EXPECT_EQ("", cache_lookup(cache, "libz.so"));
    }
}

// ldconfig lists a processor-specific build first; the one every processor runs is preferred.
TEST_F(LdSoCacheTest, TheBaselineEntryBeforeAProcessorSpecificOne) {
    const ElfNeeded x86_64 = object(true, EM_X86_64);
    const std::string with_both = written(cache_bytes(
            {{0x0303, "libm.so.6", "/lib/x86_64-linux-gnu/glibc-hwcaps/x86-64-v3/libm.so.6",
              (uint64_t{1} << 62) | 1},
             {0x0303, "libm.so.6", "/lib/x86_64-linux-gnu/libm.so.6"}}));
    EXPECT_EQ("/lib/x86_64-linux-gnu/libm.so.6",
              cache_lookup(read_ld_so_cache(with_both, x86_64), "libm.so.6"));
    const std::string specific_only = written(
            cache_bytes({{0x0303, "libm.so.6", "/lib/x86_64-linux-gnu/tls/libm.so.6", 0x8}}));
    EXPECT_EQ("/lib/x86_64-linux-gnu/tls/libm.so.6",
              cache_lookup(read_ld_so_cache(specific_only, x86_64), "libm.so.6"));
}

TEST_F(LdSoCacheTest, TheCurrentTableAfterAnOlderOne) {
    const std::string file = written(cache_bytes(kMixed, 3));
    EXPECT_EQ("/lib/x86_64-linux-gnu/libz.so.1",
              cache_lookup(read_ld_so_cache(file, object(true, EM_X86_64)), "libz.so.1"));
}

TEST_F(LdSoCacheTest, AFileItCannotTrustGivesNothingAndSaysWhy) {
    const std::string good = cache_bytes(kMixed);
    std::string outside = good;
    put32(&outside, 48 + 8, 1U << 30);
    std::string overlong = good;
    put32(&overlong, 20, 1000);
    std::string unterminated = good.substr(0, good.size() - 1);
    const struct {
        const char* what;
        std::string bytes;
        std::string error;
    } cases[] = {
            {"empty", "", "not a cache the doctor reads"},
            {"the older table alone", std::string("ld.so-1.7.0") + std::string(5, '\0'),
             "not a cache the doctor reads"},
            {"a header cut short", good.substr(0, 30), "truncated"},
            {"more entries than bytes", overlong, "truncated: it names 1000 entries"},
            {"a path outside the file", outside, "damaged: entry 0 points outside the file"},
            {"a string without its end", unterminated, "damaged: entry 5 points outside"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const LdSoCache cache = read_ld_so_cache(written(c.bytes), object(false, EM_X86_64));
        EXPECT_TRUE(cache.entries.empty());
        EXPECT_EQ(0U, cache.error.rfind(c.error, 0)) << cache.error;
    }
}

TEST_F(LdSoCacheTest, WhatIsNotACacheFileIsNotRead) {
    EXPECT_EQ(0U, read_ld_so_cache(dir_.path() + "/absent", object(true, EM_X86_64))
                          .error.rfind("cannot read it: No such file or directory", 0));
    EXPECT_EQ("not a regular file", read_ld_so_cache(dir_.path(), object(true, EM_X86_64)).error);
    const std::string fifo = dir_.path() + "/fifo";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    EXPECT_EQ("not a regular file", read_ld_so_cache(fifo, object(true, EM_X86_64)).error);
    // A machine whose loader's entries the doctor does not know reads nothing, not a guess.
    const LdSoCache mips = read_ld_so_cache(written(cache_bytes(kMixed)), object(false, EM_MIPS));
    EXPECT_TRUE(mips.entries.empty());
    EXPECT_NE(std::string::npos, mips.error.find("ELF machine 8"));
}

}  // namespace
