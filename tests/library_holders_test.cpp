// SPDX-License-Identifier: Apache-2.0
// Other processes with the library loaded, found in a /proc tree planted in a temporary
// directory; which halctl commands warn of them.
#include "library_holders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "doctor_verdicts.h"
#include "halctl_commands.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

class LibraryHolders : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(root_.empty());
    }
    void process(const std::string& pid, const std::string& maps, const std::string& cmdline,
                 const std::string& comm) {
        const std::string dir = root_ + "/" + pid;
        fs::create_directories(dir);
        std::ofstream(dir + "/maps") << maps;
        std::ofstream(dir + "/cmdline") << cmdline;
        std::ofstream(dir + "/comm") << comm << "\n";
    }
    TempDir dir_{"library_holders"};
    const std::string root_ = dir_.path();
};

const char* const kHeldMaps =
        "00400000-00452000 r-xp 00000000 08:02 173521      /usr/bin/dbus-daemon\n"
        "f7a00000-f7a20000 r-xp 00000000 b3:07 1201        /vendor/lib/libquorin_hal.so\n"
        "ffb00000-ffb21000 rw-p 00000000 00:00 0           [stack]\n";

TEST_F(LibraryHolders, NamesEachOtherProcessWithHowToStopIt) {
    process("812", kHeldMaps, std::string("/vendor/bin/hw/vendor.quorin.hal-service\0", 41),
            "vendor.quorin.h");
    process("900", "f7a00000-f7a20000 r-xp 00000000 08:02 5 /tmp/libquorin_hal.so (deleted)\n", "",
            "python3");
    process("77", "00400000-00452000 r-xp 00000000 08:02 173521 /usr/bin/sh\n", "sh", "sh");
    process("1000", kHeldMaps, "halctl", "halctl");  // this process itself
    fs::create_directories(root_ + "/self");
    fs::create_directories(root_ + "/555");  // exited while read: no maps
    const std::vector<LibraryHolder> holders =
            library_holders(root_, "/vendor/lib/libquorin_hal.so", 1000);
    ASSERT_EQ(2U, holders.size());
    EXPECT_EQ(812, holders[0].pid);
    EXPECT_EQ("vendor.quorin.hal-service", holders[0].command);
    EXPECT_EQ(900, holders[1].pid);
    EXPECT_EQ("python3", holders[1].command);
    EXPECT_EQ(
            "pid 812 (vendor.quorin.hal-service; stop vendor.quorin.hal), pid 900 (python3; "
            "kill 900)",
            describe_holders(holders));
    // The kernel's comm alone, cut to 15 characters, still names the service.
    EXPECT_EQ("stop vendor.quorin.hal", stop_command({812, "vendor.quorin.h"}));
    EXPECT_EQ("kill 5", stop_command({5, "vendor"}));
    EXPECT_EQ(holders.size(), library_holders(root_, "libquorin_hal.so", 1000).size());
}

TEST_F(LibraryHolders, NoneWhereNoOtherProcessHasIt) {
    process("1000", kHeldMaps, "halctl", "halctl");
    EXPECT_TRUE(library_holders(root_, "libquorin_hal.so", 1000).empty());
    EXPECT_TRUE(library_holders(root_ + "/none", "libquorin_hal.so", 1).empty());
    const DoctorCheck check = holders_verdict({});
    EXPECT_EQ("libquorin_hal.so", check.subject);
    EXPECT_EQ("no other process has it loaded", check.detail);
    const DoctorCheck held = holders_verdict({{812, "vendor.quorin.hal-service"}});
    EXPECT_EQ(Verdict::kPass, held.verdict);
    EXPECT_NE(std::string::npos,
              held.detail.find("also loaded by pid 812 (vendor.quorin.hal-service; stop "
                               "vendor.quorin.hal)"))
            << held.detail;
}

TEST(HalctlCommands, ThoseThatChangeTheDeviceWarnOfHolders) {
    const struct {
        std::vector<std::string> words;
        bool changes;
    } cases[] = {
            {{"led", "state", "0", "1"}, true},
            {{"led", "color", "0", "2"}, true},
            {{"led", "init"}, true},
            {{"mic", "on"}, true},
            {{"patch", "disable"}, true},
            {{"led", "version"}, false},
            {{"mic", "get-volume"}, false},
            {{"patch", "status"}, false},
            {{"props"}, false},
            {{"props", "save", "0", "1", "2"}, false},
            {{"show"}, false},
            {{"doctor"}, false},
    };
    for (const auto& c : cases) {
        const ParseResult parsed = parse_command(c.words, false);
        ASSERT_TRUE(parsed.ok) << c.words[0];
        EXPECT_EQ(c.changes, changes_device(*parsed.command.def))
                << c.words[0] << " " << c.words.size();
    }
}

}  // namespace
