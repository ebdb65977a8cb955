// SPDX-License-Identifier: Apache-2.0
// The doctor's report: the text a person reads, the JSON a script reads, and the ELF reader that
// lists the libraries to load.
#include "doctor_report.h"

#include <elf.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "elf_needed.h"
#include "text_escape.h"

namespace {

const DoctorReport kReport = {
        {"green_led/brightness", "present", Verdict::kFail, "/sys/x: No such file or directory",
         "LED green_led is missing"},
        {"SELinux", "process context", Verdict::kSkip, "SELinux not enabled", ""},
        {"liblog.so", "loads", Verdict::kPass, "", ""},
};

TEST(DoctorReport, OneLinePerCheckAHintUnderEachFailureAndASummary) {
    EXPECT_EQ(
            "FAIL  green_led/brightness: present: /sys/x: No such file or directory\n"
            "      hint: LED green_led is missing\n"
            "skip  SELinux: process context: SELinux not enabled\n"
            "pass  liblog.so: loads\n"
            "doctor: 1 passed, 1 failed, 1 skipped: see the hints above\n",
            doctor_text(kReport));
    EXPECT_EQ(
            "pass  liblog.so: loads\n"
            "doctor: 1 passed, 0 failed, 0 skipped: the device has what libquorin_hal needs\n",
            doctor_text({kReport[2]}));
}

TEST(DoctorReport, JsonCarriesEveryFieldEscaped) {
    const DoctorReport report = {
            {"a\"b", "c\\d", Verdict::kFail, "line\nbreak\ttab", std::string("bell\x07", 5)},
            {"x", "y", Verdict::kSkip, "", ""},
    };
    EXPECT_EQ(
            "{\"checks\": [\n"
            "  {\"subject\": \"a\\\"b\", \"check\": \"c\\\\d\", \"verdict\": \"fail\", "
            "\"detail\": \"line\\nbreak\\ttab\", \"hint\": \"bell\\u0007\"},\n"
            "  {\"subject\": \"x\", \"check\": \"y\", \"verdict\": \"skip\", \"detail\": \"\", "
            "\"hint\": \"\"}\n"
            "], \"passed\": 0, \"failed\": 1, \"skipped\": 1, \"ok\": false}\n",
            doctor_json(report));
    EXPECT_EQ("{\"checks\": [\n], \"passed\": 0, \"failed\": 0, \"skipped\": 0, \"ok\": true}\n",
              doctor_json({}));
}

TEST(DoctorElfNeeded, TheBuiltLibraryNeedsThePlatformLibraries) {
    ElfNeeded dynamic;
    std::string error;
    ASSERT_TRUE(read_elf_needed(QUORIN_HAL_PATH, &dynamic, &error)) << error;
    const std::vector<std::string>& needed = dynamic.libraries;
    for (const char* name : {"libsystemcontrolservice.so", "libAmlAudioOutPort.so"}) {
        EXPECT_NE(needed.end(), std::find(needed.begin(), needed.end(), name)) << name;
    }
    for (const char* prefix : {"liblog.so", "libutils.so"}) {
        EXPECT_NE(needed.end(), std::find_if(needed.begin(), needed.end(),
                                             [&](const auto& n) { return n.rfind(prefix, 0) == 0; }))
                << prefix;
    }
}

TEST(DoctorElfNeeded, RefusesWhatIsNotAnElfObject) {
    ElfNeeded needed{true, 40, 1, {"stale"}, {"stale"}, {"stale"}};
    std::string error;
    EXPECT_FALSE(read_elf_needed("/nonexistent/lib.so", &needed, &error));
    EXPECT_EQ("cannot read /nonexistent/lib.so", error);
    EXPECT_TRUE(needed.libraries.empty());
    EXPECT_TRUE(needed.runpath.empty());
    EXPECT_TRUE(needed.rpath.empty());
    EXPECT_EQ(0, needed.machine);

    const std::string text = testing::TempDir() + "not_elf.so";
    std::ofstream(text) << "not an ELF file at all";
    EXPECT_FALSE(read_elf_needed(text, &needed, &error));
    EXPECT_EQ(text + " is not an ELF file", error);

    // The header of a real object, cut short: its section table lies beyond the end.
    std::ifstream in(QUORIN_HAL_PATH, std::ios::binary);
    std::string head(64, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    const std::string cut = testing::TempDir() + "cut.so";
    std::ofstream(cut, std::ios::binary) << head;
    EXPECT_FALSE(read_elf_needed(cut, &needed, &error));
    EXPECT_EQ(cut + " is a truncated ELF file", error);
    EXPECT_EQ(0, std::remove(text.c_str()));
    EXPECT_EQ(0, std::remove(cut.c_str()));
}

// An object of the host's byte order with `needed` DT_NEEDED entries, every address its offset.
std::string object_needing(size_t needed) {
    const std::string name = "libx.so";
    const size_t dynamic_at = sizeof(Elf64_Ehdr) + 2 * sizeof(Elf64_Phdr);
    const size_t dynamic_size = (needed + 3) * sizeof(Elf64_Dyn);
    const size_t strings_at = dynamic_at + dynamic_size;
    std::string image(strings_at + name.size() + 2, '\0');
    Elf64_Ehdr header{};
    memcpy(header.e_ident, ELFMAG, SELFMAG);
    header.e_ident[EI_CLASS] = ELFCLASS64;
    const uint16_t one = 1;
    header.e_ident[EI_DATA] =
            *reinterpret_cast<const unsigned char*>(&one) == 1 ? ELFDATA2LSB : ELFDATA2MSB;
    header.e_ident[EI_VERSION] = EV_CURRENT;
    header.e_type = ET_DYN;
    header.e_phoff = sizeof(Elf64_Ehdr);
    header.e_phentsize = sizeof(Elf64_Phdr);
    header.e_phnum = 2;
    memcpy(image.data(), &header, sizeof(header));
    Elf64_Phdr segments[2] = {};
    segments[0].p_type = PT_LOAD;
    segments[0].p_filesz = image.size();
    segments[0].p_memsz = image.size();
    segments[1].p_type = PT_DYNAMIC;
    segments[1].p_offset = dynamic_at;
    segments[1].p_vaddr = dynamic_at;
    segments[1].p_filesz = dynamic_size;
    memcpy(image.data() + sizeof(header), segments, sizeof(segments));
    std::vector<Elf64_Dyn> entries(needed, Elf64_Dyn{DT_NEEDED, {1}});
    entries.push_back({DT_STRTAB, {strings_at}});
    entries.push_back({DT_STRSZ, {name.size() + 2}});
    entries.push_back({DT_NULL, {0}});
    memcpy(image.data() + dynamic_at, entries.data(), dynamic_size);
    memcpy(image.data() + strings_at + 1, name.data(), name.size());
    return image;
}

// Each fault of the identification and the dynamic section in its own words, not "truncated".
TEST(DoctorElfNeeded, SaysWhyItCannotRead) {
    std::ifstream in(QUORIN_HAL_PATH, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(image.size(), size_t{EI_NIDENT});
    std::string swapped = image;
    swapped[EI_DATA] = static_cast<char>(image[EI_DATA] == ELFDATA2LSB ? ELFDATA2MSB : ELFDATA2LSB);
    std::string class3 = image;
    class3[EI_CLASS] = 3;
    const bool little = image[EI_DATA] == ELFDATA2LSB;
    const struct {
        std::string bytes;
        std::string said;
        size_t libraries;
    } cases[] = {
            {swapped,
             std::string(" is ") + (little ? "big" : "little") +
                     "-endian: the wrong byte order for this machine",
             0},
            {class3, " has an unknown ELF class 3 (neither 32- nor 64-bit)", 0},
            {object_needing(10000),
             " has more DT_NEEDED entries (10000) than the doctor reads (1024)", 0},
            {object_needing(1024), "", 1024},
    };
    const std::string file = testing::TempDir() + "odd_elf.so";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << c.bytes;
        ElfNeeded needed;
        std::string error;
        EXPECT_EQ(c.said.empty(), read_elf_needed(file, &needed, &error));
        EXPECT_EQ(c.said.empty() ? "" : file + c.said, error);
        EXPECT_EQ(c.libraries, needed.libraries.size());
    }
    EXPECT_EQ(0, std::remove(file.c_str()));
}

// Whatever the bytes, the JSON form is valid: Python's parser must read it back.
TEST(DoctorReport, JsonStringsAreValidForAnyByte) {
    const struct {
        std::string text;
        const char* json;
    } cases[] = {
            {std::string("\x01\x1f\x7f", 3), R"("\u0001\u001f\u007f")"},
            {std::string("nul\0end", 7), R"("nul\u0000end")"},
            {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
             "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""},
            {"\xff", "\"\xEF\xBF\xBD\""},
            {"a\xC3", "\"a\xEF\xBF\xBD\""},                                // cut short
            {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                  // overlong
            {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // a surrogate
            {"\xF4\x90\x80\x80",
             "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // > U+10FFFF
    };
    for (const auto& c : cases) EXPECT_EQ(c.json, json_string(c.text));

    std::string every_byte;
    for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
    const std::string file = testing::TempDir() + "every_byte.json";
    std::ofstream(file, std::ios::binary)
            << doctor_json({{every_byte, "c", Verdict::kFail, every_byte, ""}});
    const std::string parse =
            "python3 -c 'import json,sys; r=json.load(open(sys.argv[1],\"rb\"));"
            "sys.exit(0 if len(r[\"checks\"][0][\"detail\"]) == 256 else 1)' " +
            file;
    EXPECT_EQ(0, std::system(parse.c_str()));  // NOLINT(cert-env33-c): the test's own command
    EXPECT_EQ(0, std::remove(file.c_str()));
}

TEST(DoctorReport, TextShowsControlBytesEscaped) {
    EXPECT_EQ("a\\x07b\\x1b[31m\\x7f caf\xC3\xA9", printable("a\x07"
                                                             "b\x1b[31m\x7f caf\xC3\xA9"));
    EXPECT_EQ("FAIL  x\\x0a: y: v\\x00w\n      hint: h\\x09\n",
              check_text({"x\n", "y", Verdict::kFail, std::string("v\0w", 3), "h\t"}));
}

// The loader finds DT_NEEDED through the program headers; an object without section headers
// loads as well, so it reads as well.
template <typename Ehdr>
void drop_section_headers(std::string* image) {
    Ehdr header;
    ASSERT_GT(image->size(), sizeof(header));
    memcpy(&header, image->data(), sizeof(header));
    header.e_shoff = 0;
    header.e_shnum = 0;
    header.e_shstrndx = 0;
    memcpy(image->data(), &header, sizeof(header));
}

TEST(DoctorElfNeeded, ReadsWithoutSectionHeaders) {
    std::ifstream in(QUORIN_HAL_PATH, std::ios::binary);
    std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ElfNeeded whole;
    std::string error;
    ASSERT_TRUE(read_elf_needed(QUORIN_HAL_PATH, &whole, &error)) << error;
    if (whole.is_64bit) {
        drop_section_headers<Elf64_Ehdr>(&image);
    } else {
        drop_section_headers<Elf32_Ehdr>(&image);
    }
    const std::string stripped = testing::TempDir() + "no_sections.so";
    std::ofstream(stripped, std::ios::binary) << image;
    ElfNeeded needed;
    ASSERT_TRUE(read_elf_needed(stripped, &needed, &error)) << error;
    EXPECT_EQ(whole.libraries, needed.libraries);
    EXPECT_FALSE(needed.libraries.empty());
    EXPECT_EQ(whole.runpath, needed.runpath);
    EXPECT_EQ(sizeof(void*) == 8, needed.is_64bit);
#if defined(__x86_64__)
    EXPECT_EQ(EM_X86_64, needed.machine);
#elif defined(__arm__)
    EXPECT_EQ(EM_ARM, needed.machine);
    EXPECT_NE(0U, needed.flags & 0x400U) << "a hard-float object";
#endif
    EXPECT_EQ(0, std::remove(stripped.c_str()));
}

TEST(DoctorElfNeeded, RpathAndRunpathApart) {
    ElfNeeded rpath;
    std::string error;
    ASSERT_TRUE(read_elf_needed(LOADER_CASES_DIR "/libloader_rpath.so", &rpath, &error)) << error;
    EXPECT_EQ(std::vector<std::string>{LOADER_CASES_DIR "/rpath"}, rpath.rpath);
    EXPECT_TRUE(rpath.runpath.empty());
    // A sanitizer build puts its runtime first: the dependency is among them, where it stands.
    EXPECT_NE(rpath.libraries.end(),
              std::find(rpath.libraries.begin(), rpath.libraries.end(), "libloader_dep.so"));
}

// Never opened for long nor read without end: what is not a regular file is refused at once.
TEST(DoctorElfNeeded, RefusesWhatIsNotARegularFile) {
    const std::string fifo = testing::TempDir() + "lib_fifo.so";
    (void)std::remove(fifo.c_str());  // left by an earlier run, if any
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    const std::array<std::array<std::string, 2>, 3> cases = {{
            {testing::TempDir(), "is a directory"},
            {"/dev/zero", "is a device"},
            {fifo, "is a FIFO"},
    }};
    for (const auto& c : cases) {
        ElfNeeded needed;
        std::string error;
        EXPECT_FALSE(read_elf_needed(c[0], &needed, &error)) << c[0];
        EXPECT_EQ(c[0] + " " + c[1] + ", not a library file", error);
    }
    EXPECT_EQ(0, std::remove(fifo.c_str()));
}

}  // namespace
