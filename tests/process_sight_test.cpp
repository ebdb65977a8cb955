// SPDX-License-Identifier: Apache-2.0
// The doctor does not say that no other process has the library loaded when it could not look:
// a /proc planted in a temporary directory, one process's maps unreadable.
#include "process_sight.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "doctor_verdicts.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string sight_text(const ProcessSight& sight) {
    return (sight.listed ? "listed " : "unlisted ") + std::to_string(sight.unseen);
}

// The sight of `proc` as a user that the modes bind: as root, from a child that gives it up.
std::string sight_as_user(const std::string& proc, pid_t self) {
    if (geteuid() != 0) return sight_text(process_sight(proc, self));
    const uid_t nobody = 65534;
    for (const auto& entry : fs::recursive_directory_iterator(proc)) {
        if (lchown(entry.path().c_str(), nobody, nobody) != 0) return "cannot chown";
    }
    if (lchown(proc.c_str(), nobody, nobody) != 0) return "cannot chown";
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(nobody) != 0 || setuid(nobody) != 0) _exit(1);
        const std::string text = sight_text(process_sight(proc, self));
        (void)!write(channel[1], text.data(), text.size());
        _exit(0);
    }
    close(channel[1]);
    int status = 0;
    waitpid(child, &status, 0);
    char buffer[64] = {};
    const ssize_t got = read(channel[0], buffer, sizeof(buffer) - 1);
    close(channel[0]);
    return got > 0 ? std::string(buffer, static_cast<size_t>(got)) : "the child said nothing";
}

TEST(ProcessSight, MapsThatCannotBeReadAreCounted) {
    TempDir dir("process_sight");
    ASSERT_FALSE(dir.path().empty());
    const std::string proc = dir.path() + "/proc";
    for (const char* pid : {"10", "11", "12", "13"}) fs::create_directories(proc + "/" + pid);
    fs::create_directories(proc + "/self");
    std::ofstream(proc + "/10/maps") << "00400000-00401000 r-xp 00000000 08:01 1 /bin/true\n";
    std::ofstream(proc + "/11/maps") << "00400000-00401000 r-xp 00000000 08:01 1 /bin/true\n";
    std::ofstream(proc + "/13/maps") << "hidden\n";
    fs::permissions(proc + "/11/maps", fs::perms::none);
    // 12 has gone (no maps); 13 is this process, not counted.
    fs::permissions(proc + "/13/maps", fs::perms::none);
    fs::permissions(dir.path(), fs::perms::all);
    EXPECT_EQ("listed 1", sight_as_user(proc, 13));
    EXPECT_EQ("unlisted 0", sight_text(process_sight(dir.path() + "/none", 13)));
}

TEST(ProcessSight, NobodyIsNotClaimedWhereTheScanCouldNotLook) {
    const DoctorCheck clear = holders_verdict({}, {true, 0});
    EXPECT_EQ("no other process has it loaded", clear.detail);
    const DoctorCheck hidden = holders_verdict({}, {true, 3});
    EXPECT_EQ(Verdict::kPass, hidden.verdict);
    EXPECT_EQ(
            "no other process that this one may look at has it loaded; the maps of 3 other "
            "processes cannot be seen (permission denied), and could have it loaded",
            hidden.detail);
    EXPECT_EQ(
            "no other process that this one may look at has it loaded; the process list cannot "
            "be read, so no process could be looked at",
            holders_verdict({}, {false, 0}).detail);
    const DoctorCheck held = holders_verdict({{812, "vendor.quorin.hal-service"}}, {true, 1});
    EXPECT_NE(std::string::npos,
              held.detail.find("; the maps of 1 other process cannot be seen (permission denied)"))
            << held.detail;
}

}  // namespace
