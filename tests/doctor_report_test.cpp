// SPDX-License-Identifier: Apache-2.0
// The doctor's report: the text a person reads, the JSON a script reads, and the ELF reader that
// lists the libraries to load.
#include "doctor_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "elf_needed.h"

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
    ElfNeeded needed{true, {"stale"}, {"stale"}, {"stale"}};
    std::string error;
    EXPECT_FALSE(read_elf_needed("/nonexistent/lib.so", &needed, &error));
    EXPECT_EQ("cannot read /nonexistent/lib.so", error);
    EXPECT_TRUE(needed.libraries.empty());
    EXPECT_TRUE(needed.runpath.empty());
    EXPECT_TRUE(needed.rpath.empty());

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

}  // namespace
