// SPDX-License-Identifier: Apache-2.0
// The open-write-close of each device file: flags, exact bytes, and what a failure costs.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "hal_test.h"
#include "led_writes.h"

namespace {

using AttributeWriter = HalTest;

TEST_F(AttributeWriter, OpensReadWriteCloseOnExecWithoutCreateOrTruncate) {
    lib->SetLedState(0, 1);
    ASSERT_EQ(6u, sysfs.opens().size());
    for (const auto& open : sysfs.opens()) {
        EXPECT_EQ(O_RDWR | O_CLOEXEC, open.flags) << open.path;
    }
}

TEST_F(AttributeWriter, WritesExactlyTheValueWithoutNewlineOrNul) {
    lib->SetLedState(1, 200);
    EXPECT_EQ("1", sysfs.contents(test_paths::kRemoteBrightness));
    EXPECT_EQ("timer", sysfs.contents(test_paths::kRemoteTrigger));
    // Not truncated on open: a shorter value overwrites the head of the longer one, as the tail
    // of the plain file shows.
    lib->SetLedState(0, 1);
    EXPECT_EQ("noner", sysfs.contents(test_paths::kRemoteTrigger));
}

TEST_F(AttributeWriter, MissingLedCostsOneLineForEachOfItsWrites) {
    sysfs.remove(test_paths::kGreenDir);
    EXPECT_EQ(0, lib->SetLedState(0, 1));
    EXPECT_EQ((Writes{trig(L::kRemote, "none"), trig(L::kSys, "none"), bright(L::kRemote, "1"),
                      bright(L::kSys, "1")}),
              sysfs.writes());
    const auto lines = logs.lines();
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ(open_failure("hal_frontpanel", test_paths::kGreenTrigger), lines[1]);
    EXPECT_EQ(open_failure("hal_frontpanel", test_paths::kGreenBrightness), lines[2]);
    EXPECT_EQ("0,1,10", saved_triple()) << "the model and the save go on regardless";
}

TEST_F(AttributeWriter, RefusedOpenIsLoggedAndThePatternGoesOn) {
    sysfs.refuse_open(test_paths::kSysBrightness, EACCES);
    lib->SetLedState(0, 220);
    EXPECT_EQ(joined(triggers("none"), Writes{bright(L::kRemote, "0"), bright(L::kGreen, "0")}),
              sysfs.writes());
    EXPECT_EQ(open_failure("hal_frontpanel", test_paths::kSysBrightness), logs.lines().at(1));
}

TEST_F(AttributeWriter, FailedOrShortWritesGoUnreported) {
    sysfs.fail_writes(test_paths::kRemoteTrigger, EIO);
    sysfs.short_writes(test_paths::kGreenTrigger, 2);
    EXPECT_EQ(0, lib->SetLedState(1, 200));
    EXPECT_EQ(6u, sysfs.writes().size());
    EXPECT_EQ(2u, logs.lines().size()) << "only the entry and save lines";
    EXPECT_EQ("no", sysfs.contents(test_paths::kGreenTrigger));
    EXPECT_EQ("1,200,0", saved_triple());
}

TEST_F(AttributeWriter, EachDescriptorIsClosedAfterItsOneWrite) {
    lib->SetLedState(1, 200);
    lib->MicSetVolume(57);
    lib->MicSetOnOff(1);
    EXPECT_EQ(open_write_close(
                      joined(Writes{bright(L::kGreen, "0"), bright(L::kSys, "0"),
                                    bright(L::kRemote, "1"), trig(L::kRemote, "timer"),
                                    trig(L::kGreen, "none"), trig(L::kSys, "none")},
                             Writes{{test_paths::kAdcVolume, "23"}, {test_paths::kAdcMute, "1"}})),
              sysfs.calls());
}

// In a process whose standard input is closed, the first file it opens is descriptor 0: a good
// open, to be written and closed like any other.
TEST_F(AttributeWriter, DescriptorZeroIsAGoodOpen) {
    const int saved_stdin = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
    if (saved_stdin >= 0) close(STDIN_FILENO);
    lib->SetLedState(0, 1);
    const bool zero_left_open = fcntl(STDIN_FILENO, F_GETFD) != -1;
    if (saved_stdin >= 0) {
        dup2(saved_stdin, STDIN_FILENO);
        close(saved_stdin);
    }
    ASSERT_EQ(0, sysfs.opens().at(0).fd) << "the first device open did not get descriptor 0";
    EXPECT_EQ(open_write_close(pattern("none", "1", "1", "1")), sysfs.calls());
    EXPECT_EQ((std::vector<LogLine>{state_entry_line(0, 1), kSaveLine}), logs.lines());
    EXPECT_FALSE(zero_left_open) << "descriptor 0 leaked";
}

}  // namespace
