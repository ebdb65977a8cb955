// SPDX-License-Identifier: Apache-2.0
// Other processes with the library loaded, found in a /proc tree planted in a temporary
// directory; which halctl commands warn of them.
#include "library_holders.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
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
        fs::create_directories(proc_);
        fs::create_directories(root_ + "/lib");
        fs::create_directories(root_ + "/copy");
        std::ofstream(library_) << "the library";
        std::ofstream(copy_) << "the library";  // the same bytes, another file
    }
    void process(const std::string& pid, const std::string& maps, const std::string& cmdline,
                 const std::string& comm) {
        const std::string dir = proc_ + "/" + pid;
        fs::create_directories(dir);
        std::ofstream(dir + "/maps") << maps;
        std::ofstream(dir + "/cmdline") << cmdline;
        std::ofstream(dir + "/comm") << comm << "\n";
    }
    // A maps line of `file`, with its device and inode as the kernel prints them, named `shown`.
    static std::string mapping(const std::string& file, const std::string& shown) {
        struct stat info {};
        EXPECT_EQ(0, stat(file.c_str(), &info)) << file;
        char line[512];
        (void)snprintf(line, sizeof(line), "f7a00000-f7a20000 r-xp 00000000 %02x:%02x %llu    %s\n",
                       major(info.st_dev), minor(info.st_dev),
                       static_cast<unsigned long long>(info.st_ino), shown.c_str());
        return line;
    }
    std::string other_maps(size_t lines) const {
        std::string maps;
        for (size_t i = 0; i < lines; ++i) maps += mapping(copy_, "/copy/libquorin_hal.so");
        return maps;
    }
    TempDir dir_{"library_holders"};
    const std::string root_ = dir_.path();
    const std::string proc_ = root_ + "/proc";
    const std::string library_ = root_ + "/lib/libquorin_hal.so";
    const std::string copy_ = root_ + "/copy/libquorin_hal.so";
};

const char* const kOtherMaps =
        "00400000-00452000 r-xp 00000000 08:02 173521      /usr/bin/dbus-daemon\n"
        "ffb00000-ffb21000 rw-p 00000000 00:00 0           [stack]\n";

TEST_F(LibraryHolders, NamesEachProcessMappingThisVeryFileWithHowToStopIt) {
    process("812", kOtherMaps + mapping(library_, "/vendor/lib/libquorin_hal.so"),
            std::string("/vendor/bin/hw/vendor.quorin.hal-service\0", 41), "vendor.quorin.h");
    // Renamed or removed since it was mapped: the same file all the same.
    process("900", mapping(library_, "/tmp/other_name.so (deleted)"), "", "python3");
    // A copy of the library, and a file of its name on another device: not this library.
    process("901", mapping(copy_, library_), "halctl", "halctl");
    process("902", "f7a00000-f7a20000 r-xp 00000000 fe:7f 1 " + library_ + "\n", "x", "x");
    // The library's inode on another device: another file.
    struct stat info {};
    ASSERT_EQ(0, stat(library_.c_str(), &info));
    process("903",
            "f7a00000-f7a20000 r-xp 00000000 " +
                    std::string(major(info.st_dev) == 0xfe ? "fd" : "fe") + ":7f " +
                    std::to_string(info.st_ino) + " " + library_ + "\n",
            "x", "x");
    process("77", kOtherMaps, "sh", "sh");
    process("1000", mapping(library_, library_), "halctl", "halctl");  // this process itself
    fs::create_directories(proc_ + "/self");
    fs::create_directories(proc_ + "/555");  // exited while read: no maps
    const HolderScan scan = library_holders(proc_, library_, 1000);
    EXPECT_TRUE(scan.complete) << scan.cut;
    EXPECT_EQ(0U, scan.unseen);  // gone is not unseen
    ASSERT_EQ(2U, scan.holders.size());
    EXPECT_EQ(812, scan.holders[0].pid);
    EXPECT_EQ("vendor.quorin.hal-service", scan.holders[0].command);
    EXPECT_EQ(900, scan.holders[1].pid);
    EXPECT_EQ("python3", scan.holders[1].command);
    EXPECT_EQ(
            "pid 812 (vendor.quorin.hal-service; stop vendor.quorin.hal), pid 900 (python3; "
            "kill 900)",
            describe_holders(scan.holders));
    // The kernel's comm alone, cut to 15 characters, still names the service.
    EXPECT_EQ("stop vendor.quorin.hal", stop_command({812, "vendor.quorin.h"}));
    EXPECT_EQ("kill 5", stop_command({5, "vendor"}));
    // The copy's holder is the copy's.
    const HolderScan copy = library_holders(proc_, copy_, 1000);
    ASSERT_EQ(1U, copy.holders.size());
    EXPECT_EQ(901, copy.holders[0].pid);
}

TEST_F(LibraryHolders, NoneWhereNoOtherProcessHasIt) {
    process("1000", mapping(library_, library_), "halctl", "halctl");
    process("1001", mapping(copy_, library_), "halctl", "halctl");
    const HolderScan scan = library_holders(proc_, library_, 1000);
    EXPECT_TRUE(scan.holders.empty());
    EXPECT_TRUE(scan.complete) << scan.cut;
    const DoctorCheck check = holders_verdict(scan);
    EXPECT_EQ("libquorin_hal.so", check.subject);
    EXPECT_EQ(Verdict::kPass, check.verdict);
    EXPECT_EQ("no other process has it loaded", check.detail);
    HolderScan held;
    held.holders = {{812, "vendor.quorin.hal-service"}};
    const DoctorCheck found = holders_verdict(held);
    EXPECT_EQ(Verdict::kPass, found.verdict);
    EXPECT_NE(std::string::npos,
              found.detail.find("also loaded by pid 812 (vendor.quorin.hal-service; stop "
                                "vendor.quorin.hal)"))
            << found.detail;
}

// What cannot be looked at is said to be unknown, never taken for "nobody".
TEST_F(LibraryHolders, ALibraryOrProcThatCannotBeExaminedLeavesItUnknown) {
    const struct {
        std::string proc;
        std::string library;
        const char* cut;
    } cases[] = {
            {proc_, root_ + "/missing.so", "cannot be examined: No such file or directory"},
            {proc_, "libquorin_hal.so", "the library file libquorin_hal.so cannot be examined"},
            {root_ + "/none", library_, "/none cannot be read"},
    };
    for (const auto& c : cases) {
        const HolderScan scan = library_holders(c.proc, c.library, 1);
        EXPECT_FALSE(scan.complete) << c.library;
        EXPECT_NE(std::string::npos, scan.cut.find(c.cut)) << scan.cut;
        const DoctorCheck check = holders_verdict(scan);
        EXPECT_EQ(Verdict::kSkip, check.verdict);
        EXPECT_NE(std::string::npos,
                  check.detail.find("not known whether another process has it loaded; the scan "
                                    "was cut short: "))
                << check.detail;
    }
}

// A process whose maps this one may not read (another user's; on a device, another SELinux
// domain's) is counted, and "nobody" is not claimed: the scan runs as a user the modes bind (as
// root, in a child that gives root up).
TEST_F(LibraryHolders, MapsThatCannotBeReadAreCountedNotTakenForNobody) {
    process("10", kOtherMaps, "sh", "sh");
    process("11", mapping(library_, library_), "hidden", "hidden");
    process("13", kOtherMaps, "halctl", "halctl");  // this process
    fs::permissions(proc_ + "/11/maps", fs::perms::none);
    fs::permissions(proc_ + "/13/maps", fs::perms::none);
    fs::permissions(root_, fs::perms::all);
    int channel[2];
    ASSERT_EQ(0, pipe2(channel, O_CLOEXEC));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const uid_t nobody = 65534;
        if (geteuid() == 0 && (setgid(nobody) != 0 || setuid(nobody) != 0)) _exit(1);
        const HolderScan scan = library_holders(proc_, library_, 13);
        const std::string text = std::to_string(scan.unseen) + " " +
                                 std::to_string(scan.holders.size()) + "\n" +
                                 holders_verdict(scan).detail;
        (void)!write(channel[1], text.data(), text.size());
        _exit(0);
    }
    close(channel[1]);
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    char buffer[512] = {};
    const ssize_t got = read(channel[0], buffer, sizeof(buffer) - 1);
    close(channel[0]);
    ASSERT_GT(got, 0);
    EXPECT_EQ(
            "1 0\nno other process that this one may look at has it loaded; the maps of 1 "
            "other process cannot be seen (permission denied), and could have it loaded",
            std::string(buffer, static_cast<size_t>(got)));
    HolderScan held;
    held.holders = {{812, "vendor.quorin.hal-service"}};
    held.unseen = 3;
    EXPECT_NE(std::string::npos,
              holders_verdict(held).detail.find(
                      "; the maps of 3 other processes cannot be seen (permission denied)"))
            << holders_verdict(held).detail;
}

// Processes with many mappings, as any local user can make them: the scan stops at its bounds
// and says so, naming the holders it found before.
TEST_F(LibraryHolders, MapsPastTheBoundsCutTheScanShortAndSaySo) {
    const size_t line = mapping(copy_, "/copy/libquorin_hal.so").size();
    HolderScanLimits limits;
    limits.process_bytes = 100 * line;
    limits.total_bytes = 1000 * line;
    // One process's maps past its bound, the library beyond it: not seen, and said so.
    process("10", other_maps(150) + mapping(library_, library_), "busy", "busy");
    process("11", mapping(library_, library_), "halctl", "halctl");
    HolderScan scan = library_holders(proc_, library_, 1, limits);
    EXPECT_FALSE(scan.complete);
    ASSERT_EQ(1U, scan.holders.size());
    EXPECT_EQ(11, scan.holders[0].pid);
    EXPECT_NE(std::string::npos, scan.cut.find("1 process has maps longer than")) << scan.cut;
    DoctorCheck check = holders_verdict(scan);
    EXPECT_EQ(Verdict::kPass, check.verdict);
    EXPECT_NE(std::string::npos, check.detail.find("also loaded by pid 11"));
    EXPECT_NE(std::string::npos, check.detail.find("; the scan was cut short: 1 process has maps"))
            << check.detail;

    // Many processes, each within its bound, past the bound of the whole scan.
    fs::remove_all(proc_ + "/10");
    fs::remove_all(proc_ + "/11");
    for (int pid = 100; pid < 120; ++pid) process(std::to_string(pid), other_maps(99), "p", "p");
    scan = library_holders(proc_, library_, 1, limits);
    EXPECT_FALSE(scan.complete);
    EXPECT_TRUE(scan.holders.empty());
    EXPECT_NE(std::string::npos, scan.cut.find("the scan of /proc/*/maps stopped after reading"))
            << scan.cut;
    check = holders_verdict(scan);
    EXPECT_EQ(Verdict::kSkip, check.verdict);
    // A deadline already past stops it at once.
    limits = HolderScanLimits{};
    limits.deadline_ms = 0;
    scan = library_holders(proc_, library_, 1, limits);
    EXPECT_FALSE(scan.complete);
    EXPECT_NE(std::string::npos, scan.cut.find("stopped at its deadline of 0 ms")) << scan.cut;
    // Within every bound, the same processes are read whole.
    scan = library_holders(proc_, library_, 1);
    EXPECT_TRUE(scan.complete) << scan.cut;
}

// The scan's own bounds count processes only, and a scan they stop says so; whatever else /proc
// holds (an overlong name among it) is passed over.
TEST_F(LibraryHolders, ItsBoundsCountProcessesAndCutTheScanAloud) {
    for (const char* other : {"self", "sys", "bus", "1x", "99999999999999999999999"}) {
        fs::create_directories(proc_ + "/" + other);
    }
    process("10", mapping(library_, library_), "a", "a");
    process("11", kOtherMaps, "b", "b");
    HolderScanLimits limits;
    limits.processes = 2;
    HolderScan scan = library_holders(proc_, library_, 1, limits);
    EXPECT_TRUE(scan.complete) << scan.cut;
    EXPECT_EQ(1U, scan.holders.size());
    process("12", mapping(library_, library_), "c", "c");
    scan = library_holders(proc_, library_, 1, limits);
    EXPECT_FALSE(scan.complete);
    EXPECT_NE(std::string::npos, scan.cut.find("stopped after 2 processes, with more running"))
            << scan.cut;
    limits = HolderScanLimits{};
    limits.holders = 1;
    scan = library_holders(proc_, library_, 1, limits);
    EXPECT_FALSE(scan.complete);
    EXPECT_EQ(1U, scan.holders.size());
    EXPECT_NE(std::string::npos, scan.cut.find("stopped at 1 holder named")) << scan.cut;
    limits.holders = 2;
    scan = library_holders(proc_, library_, 1, limits);
    EXPECT_TRUE(scan.complete) << scan.cut;
    EXPECT_EQ(2U, scan.holders.size());
}

// A mapping whose line straddles two reads of the maps file is seen whole.
TEST_F(LibraryHolders, ALineAcrossTwoReadsIsSeen) {
    // The read stops inside the mapping's inode field.
    const std::string filler = std::string(16384 - 40 - 1, 'x') + "\n";
    process("20", filler + mapping(library_, library_), "a", "a");
    const HolderScan scan = library_holders(proc_, library_, 1);
    EXPECT_TRUE(scan.complete) << scan.cut;
    ASSERT_EQ(1U, scan.holders.size());
    EXPECT_EQ(20, scan.holders[0].pid);
}

// Another user's argv, shown to root: escaped and bounded.
TEST_F(LibraryHolders, TheCommandShownIsEscapedAndBounded) {
    process("42", mapping(library_, library_),
            std::string("\x1b]0;owned\x07\xC2\x9B"
                        "2J\0-x",
                        17),
            "x");
    const HolderScan scan = library_holders(proc_, library_, 1);
    ASSERT_EQ(1U, scan.holders.size());
    EXPECT_EQ("pid 42 (\\x1b]0;owned\\x07\\xc2\\x9b2J; kill 42)", describe_holders(scan.holders));
    EXPECT_EQ("pid 7 (" + std::string(64, 'a') + "... (5000 bytes); kill 7)",
              describe_holders({{7, std::string(5000, 'a')}}));
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
