// SPDX-License-Identifier: Apache-2.0
// The HAL_Mic entry points: ADC writes, clamping, the patch following the mute state.
#include <sys/system_properties.h>

#include "hal_test.h"

namespace {

using Mic = HalTest;

using fake_sysfs::Write;

LogLine mic(const std::string& text) {
    return {kDebug, "hal_mic", text};
}

struct VolumeCase {
    int volume;
    int stored;
    const char* written;
};

void PrintTo(const VolumeCase& c, std::ostream* out) {
    *out << "volume " << c.volume << " -> " << c.stored;
}

class MicVolume : public HalTest, public ::testing::WithParamInterface<VolumeCase> {};

TEST_P(MicVolume, ClampsStoresAndWritesTheAdcStep) {
    const VolumeCase& c = GetParam();
    EXPECT_EQ(0, lib->MicSetVolume(c.volume));
    EXPECT_EQ((std::vector<Write>{{test_paths::kAdcVolume, c.written}}), sysfs.writes());
    EXPECT_EQ(c.stored, lib->MicGetVolume());
    EXPECT_EQ((std::vector<LogLine>{
                      mic("hal_mic:HAL_MicSetVolume v101(volume=" + std::to_string(c.volume) + ")"),
                      mic("hal_mic:HAL_MicGetVolume v101(" + std::to_string(c.stored) + ")")}),
              logs.lines());
    EXPECT_TRUE(hal_sim::journal().size() == 1) << "the ADC write only, no audio path";
}

INSTANTIATE_TEST_SUITE_P(MicVolumeRange, MicVolume,
                         ::testing::Values(VolumeCase{-5, 0, "12"}, VolumeCase{INT32_MIN, 0, "12"},
                                           VolumeCase{0, 0, "12"}, VolumeCase{4, 4, "12"},
                                           VolumeCase{5, 5, "13"}, VolumeCase{57, 57, "23"},
                                           VolumeCase{99, 99, "31"}, VolumeCase{100, 100, "32"},
                                           VolumeCase{250, 100, "32"},
                                           VolumeCase{INT32_MAX, 100, "32"}),
                         [](const auto& info) {
                             return case_name("Volume" + std::to_string(info.param.volume));
                         });

TEST_F(Mic, GettersBeforeAnySetReturnZero) {
    EXPECT_EQ(0, lib->MicGetVolume());
    EXPECT_EQ(0, lib->MicGetEchoLevel());
    EXPECT_EQ((std::vector<LogLine>{mic("hal_mic:HAL_MicGetVolume v101(0)"),
                                    mic("hal_mic<HAL_MicGetEchoLevel> .. current level 0\n")}),
              logs.lines());
}

TEST_F(Mic, MicStateStartsAgainAtZeroAfterARestart) {
    lib->MicSetVolume(80);
    lib->MicSetEchoLevel(30);
    lib.restart();
    EXPECT_EQ(0, lib->MicGetVolume());
    EXPECT_EQ(0, lib->MicGetEchoLevel());
}

struct EchoCase {
    int level;
    int stored;
};

void PrintTo(const EchoCase& c, std::ostream* out) {
    *out << "level " << c.level << " -> " << c.stored;
}

class MicEcho : public HalTest, public ::testing::WithParamInterface<EchoCase> {};

TEST_P(MicEcho, ClampsStoresAndSendsTheClampedWeight) {
    const EchoCase& c = GetParam();
    EXPECT_EQ(0, lib->MicSetEchoLevel(c.level));
    EXPECT_EQ(c.stored, lib->MicGetEchoLevel());
    const std::string weight = std::to_string(c.stored);
    EXPECT_EQ((std::vector<std::string>{"port.setParameters audio_echo_decay=" + weight}),
              hal_sim::journal());
    EXPECT_EQ((std::vector<LogLine>{
                      mic("hal_mic<HAL_MicSetEchoLevel> ..level " + std::to_string(c.level) + "\n"),
                      {kDebug, "audio_patch", "[setEchoDecayWeight] delaytime: " + weight},
                      mic("hal_mic<HAL_MicGetEchoLevel> .. current level " + weight + "\n")}),
              logs.lines());
    EXPECT_TRUE(sysfs.writes().empty());
}

INSTANTIATE_TEST_SUITE_P(MicEchoRange, MicEcho,
                         ::testing::Values(EchoCase{-1, 0}, EchoCase{INT32_MIN, 0}, EchoCase{0, 0},
                                           EchoCase{40, 40}, EchoCase{100, 100}, EchoCase{150, 100},
                                           EchoCase{INT32_MAX, 100}),
                         [](const auto& info) {
                             return case_name("Level" + std::to_string(info.param.level));
                         });

TEST_F(Mic, MuteWithoutRecordedPatchWritesTheAdcOnly) {
    EXPECT_EQ(0, lib->MicSetOnOff(1));
    EXPECT_EQ((std::vector<std::string>{"write " + std::string(test_paths::kAdcMute) + " 1"}),
              hal_sim::journal());
    EXPECT_EQ((std::vector<LogLine>{mic("hal_mic:HAL_MicSetOnOff v101(MIC=off)")}), logs.lines());
    EXPECT_EQ("<unset>", property("vendor.quorin.micstate"));
}

TEST_F(Mic, UnmuteThenMuteWritesTheAdcBeforeThePatch) {
    const std::string mute = "write " + std::string(test_paths::kAdcMute);
    EXPECT_EQ(0, lib->MicSetOnOff(0));
    EXPECT_EQ("1", property("vendor.quorin.micstate"));
    EXPECT_EQ(0, lib->MicSetOnOff(0));   // already recorded: the patch is left alone
    EXPECT_EQ(0, lib->MicSetOnOff(-1));  // any non-zero value mutes
    EXPECT_EQ("0", property("vendor.quorin.micstate"));
    EXPECT_EQ(0, lib->MicSetOnOff(7));
    EXPECT_EQ((std::vector<std::string>{mute + " 0", "port.createAudioPatchTarsk",
                                        "property.set vendor.quorin.micstate=1", mute + " 0",
                                        mute + " 1", "port.releaseAudioPatchTarsk",
                                        "property.set vendor.quorin.micstate=0", mute + " 1"}),
              hal_sim::journal());
    EXPECT_EQ((std::vector<LogLine>{mic("hal_mic:HAL_MicSetOnOff v101(MIC=on)"), kEnablePatchLine,
                                    mic("hal_mic:HAL_MicSetOnOff v101(MIC=on)"),
                                    mic("hal_mic:HAL_MicSetOnOff v101(MIC=off)"), kDisablePatchLine,
                                    mic("hal_mic:HAL_MicSetOnOff v101(MIC=off)")}),
              logs.lines());
}

TEST_F(Mic, RecordedPatchStateOutlivesARestartWhileThePatchDoesNot) {
    lib->MicSetOnOff(0);
    lib.restart();  // the port of the first load is gone, its patch with it
    hal_sim::clear_journal();
    lib->MicSetOnOff(0);
    EXPECT_EQ(std::vector<std::string>{"write " + std::string(test_paths::kAdcMute) + " 0"},
              hal_sim::journal())
            << "unmute believes the recorded patch and creates none";
    hal_sim::clear_journal();
    lib->MicSetOnOff(1);
    EXPECT_EQ((std::vector<std::string>{"write " + std::string(test_paths::kAdcMute) + " 1",
                                        "port.releaseAudioPatchTarsk",
                                        "property.set vendor.quorin.micstate=0"}),
              hal_sim::journal())
            << "mute releases a patch this load never created";
    EXPECT_EQ("0", property("vendor.quorin.micstate"));
}

TEST_F(Mic, MissingAdcFileCostsOneLineAndNothingElse) {
    sysfs.remove(test_paths::kAdcMute);
    sysfs.remove(test_paths::kAdcVolume);
    lib->MicSetOnOff(0);
    lib->MicSetVolume(57);
    EXPECT_EQ((std::vector<LogLine>{mic("hal_mic:HAL_MicSetOnOff v101(MIC=on)"),
                                    open_failure("hal_mic", test_paths::kAdcMute), kEnablePatchLine,
                                    mic("hal_mic:HAL_MicSetVolume v101(volume=57)"),
                                    open_failure("hal_mic", test_paths::kAdcVolume)}),
              logs.lines());
    EXPECT_EQ("1", property("vendor.quorin.micstate"));
    EXPECT_EQ(57, lib->MicGetVolume());
}

TEST_F(Mic, StubEntryPointsLogTheirTwoFormsAndReturnZero) {
    const struct {
        int (*call)();
        const char* text;
    } stubs[] = {
            {lib->MicInit, "hal_mic<HAL_MicInit> ..\n"},
            {lib->MicDeinit, "hal_mic<HAL_MicDeinit> ..\n"},
            {lib->MicGetOnOff, "hal_mic<HAL_MicGetOnOff> ..\n"},
            {lib->MicGetEchoMaxLevel, "hal_mic<HAL_MicGetEchoMaxLevel> .. \n"},
            {lib->MicPause, "hal_mic<HAL_MicPause> .. \n"},
            {lib->MicResume, "hal_mic<HAL_MicResume> .. \n"},
    };
    lib->MicSetOnOff(1);
    lib->MicSetVolume(80);
    for (const auto& stub : stubs) {
        logs.clear();
        sysfs.clear();
        EXPECT_EQ(0, stub.call());
        EXPECT_EQ((std::vector<LogLine>{mic(stub.text)}), logs.lines());
        EXPECT_TRUE(sysfs.writes().empty());
    }
}

TEST_F(Mic, MicVersionIsLoggedNotReturned) {
    EXPECT_EQ(0, lib->MicGetVersion());
    ASSERT_EQ(1u, logs.lines().size());
    const LogLine line = logs.lines().front();
    EXPECT_EQ("hal_mic", line.tag);
    EXPECT_EQ(kDebug, line.priority);
    EXPECT_NE(std::string::npos, line.text.find("HAL_MicGetVersion"));
    EXPECT_NE(std::string::npos, line.text.find("101"));
}

}  // namespace
