// SPDX-License-Identifier: Apache-2.0
// Replay of the saved request at start, across real unloads and reloads of the library, and the
// entry points that only log.
#include "hal_test.h"
#include "led_writes.h"

namespace {

using Lifecycle = HalTest;

const LogLine kInitLine{kDebug, "hal_frontpanel", "hal_frontpanel<HAL_FrontPanelInit> ..\n"};

LogLine replay_line(int index, int state, int color) {
    return {kDebug, "hal_frontpanel",
            "hal_frontpanel<HAL_FrontPanelInit> in get_property <" + std::to_string(index) + "><" +
                    std::to_string(state) + "><" + std::to_string(color) + ">..\n"};
}

// Leaves a saved triple behind in one load, then restarts the library and clears the records.
class LifecycleReplay : public HalTest {
  protected:
    void restart_fresh() {
        lib.restart();
        sysfs.clear();
        logs.clear();
        hal_sim::clear_journal();
    }
};

TEST_F(LifecycleReplay, FreshDeviceReplaysNothing) {
    EXPECT_EQ(0, lib->Init());
    EXPECT_EQ((std::vector<LogLine>{kInitLine, replay_line(-1, 0, 0)}), logs.lines());
    EXPECT_TRUE(sysfs.writes().empty());
    EXPECT_EQ("<unset>,<unset>,<unset>", saved_triple());
}

TEST_F(LifecycleReplay, StandbyIsReplayedAndSavedAgainThenSkipped) {
    lib->SetLedState(0, 0);
    restart_fresh();
    EXPECT_EQ(0, lib->Init());
    EXPECT_EQ(pattern("none", "0", "1", "0"), sysfs.writes());
    EXPECT_EQ((std::vector<std::string>{"vendor.quorin.ledindex=0", "vendor.quorin.ledstate=0",
                                        "vendor.quorin.ledcolor=2"}),
              set_property_calls());
    EXPECT_EQ(kInitLine, logs.lines().at(0));
    EXPECT_EQ(replay_line(0, 0, 2), logs.lines().at(1));

    sysfs.clear();
    hal_sim::clear_journal();
    EXPECT_EQ(0, lib->Init());
    EXPECT_TRUE(sysfs.writes().empty()) << "standby is already in force";
    EXPECT_TRUE(set_property_calls().empty());
}

// Init keeps its own strong reference to the client until it returns: the replay's save runs with
// one reference more standing than the reads before it, and than a save made on its own.
TEST_F(LifecycleReplay, InitHoldsTheClientUntilItReturns) {
    lib->SetLedState(0, 0);
    restart_fresh();
    hal_sim::ClientControl noting;
    noting.note_references = true;
    hal_sim::set_client_control(noting);

    EXPECT_EQ(0, lib->Init());
    // The service's reference, the library's client, Init's own, and the save's own.
    const std::vector<std::string> expected = {
            "client.getInstance",
            "client.getPropertyInt vendor.quorin.ledindex [strong 3]",
            "client.getPropertyInt vendor.quorin.ledstate [strong 3]",
            "client.getPropertyInt vendor.quorin.ledcolor [strong 3]",
            "client.setProperty vendor.quorin.ledindex=0 [strong 4]",
            "client.setProperty vendor.quorin.ledstate=0 [strong 4]",
            "client.setProperty vendor.quorin.ledcolor=2 [strong 4]",
    };
    std::vector<std::string> client_calls;
    for (const std::string& event : hal_sim::journal()) {
        if (event.rfind("client.", 0) == 0) client_calls.push_back(event);
    }
    EXPECT_EQ(expected, client_calls);

    hal_sim::clear_journal();
    lib->SaveProperty(0, 1, 10);
    EXPECT_EQ((std::vector<std::string>{"vendor.quorin.ledindex=0 [strong 3]",
                                        "vendor.quorin.ledstate=1 [strong 3]",
                                        "vendor.quorin.ledcolor=10 [strong 3]"}),
              set_property_calls());
}

TEST_F(LifecycleReplay, RemoteBlinkingIsReplayed) {
    lib->SetLedState(1, 200);
    restart_fresh();
    lib->Init();
    EXPECT_EQ((Writes{bright(L::kGreen, "0"), bright(L::kSys, "0"), bright(L::kRemote, "1"),
                      trig(L::kRemote, "timer"), trig(L::kGreen, "none"), trig(L::kSys, "none")}),
              sysfs.writes());
    EXPECT_EQ("1,200,0", saved_triple());
}

TEST_F(LifecycleReplay, ModelStartsAgainAllBlinkingAfterARestart) {
    lib->SetLedState(1, 201);  // all steady: a second (1, 201) in this load would be skipped
    restart_fresh();
    lib->SetLedState(1, 201);
    EXPECT_EQ(pattern("none", "1", "1", "1"), sysfs.writes());
}

TEST_F(LifecycleReplay, SavedFlashFlashesAndRestoresAllBlinking) {
    lib->SetLedColor(3, 2);  // on the blinking panel: saves (3, 2, 2)
    EXPECT_EQ("3,2,2", saved_triple());
    restart_fresh();
    lib->Init();
    EXPECT_EQ(joined(pattern("none", "0", "0", "0"), brightness("1", "1", "1"),
                     brightness("0", "0", "0"), pattern("timer", "1", "1", "1")),
              sysfs.writes());
    EXPECT_TRUE(set_property_calls().empty());
}

TEST_F(LifecycleReplay, SavedColourRequestOutsideTheTableReplaysNothing) {
    lib->SetLedState(0, 1);
    lib->SetLedColor(0, 10);  // steady: saves (0, 1, 10)
    lib->SetLedState(1, 200);
    lib->SetLedColor(0, 10);  // blinking: saves (0, 2, 10)
    EXPECT_EQ("0,2,10", saved_triple());
    restart_fresh();
    lib->Init();
    EXPECT_EQ(replay_line(0, 2, 10), logs.lines().at(1));
    EXPECT_TRUE(sysfs.writes().empty());
    EXPECT_TRUE(set_property_calls().empty());
}

TEST_F(LifecycleReplay, SteadyRecordedColourReplaysAllSteadyWithItsOwnColour) {
    lib->SetLedState(0, 1);
    lib->SetLedColor(0, 5);  // saves (0, 1, 5)
    restart_fresh();
    lib->Init();
    EXPECT_EQ(pattern("none", "1", "1", "1"), sysfs.writes());
    EXPECT_EQ("0,1,10", saved_triple());
}

TEST_F(LifecycleReplay, TripleSurvivesManyRestarts) {
    lib->SetLedState(0, 220);
    for (int i = 0; i < 5; ++i) restart_fresh();
    lib->Init();
    EXPECT_EQ(pattern("none", "0", "0", "1"), sysfs.writes());
}

// The saved request lives in vendor.* properties, which a device keeps across restarts of the
// process but not across a reboot: after one, start replays nothing and the patch is unrecorded.
TEST_F(LifecycleReplay, RebootLosesTheSavedRequestAndThePatchState) {
    lib->SetLedState(0, 220);
    lib->MicSetOnOff(0);
    lib.unload();
    ASSERT_TRUE(hal_sim::reboot_device());
    lib.load();
    sysfs.clear();
    logs.clear();
    hal_sim::clear_journal();

    EXPECT_EQ(0, lib->Init());
    EXPECT_EQ((std::vector<LogLine>{kInitLine, replay_line(-1, 0, 0)}), logs.lines());
    EXPECT_TRUE(sysfs.writes().empty());
    EXPECT_EQ("<unset>,<unset>,<unset>", saved_triple());
    EXPECT_EQ("<unset>", property("vendor.quorin.micstate"));
    EXPECT_EQ(0, lib->IsMicAudioPatchEnabled());
}

TEST_F(Lifecycle, LogOnlyEntryPointsReturnZeroAndLogTheirName) {
    EXPECT_EQ(0, lib->Deinit());
    EXPECT_EQ(0, lib->SetLedStateForVolume(55));
    EXPECT_EQ(0, lib->SetBeamformingDegree(-90));
    const std::vector<LogLine> expected = {
            {kDebug, "hal_frontpanel", "hal_frontpanel<HAL_FrontPanelDeinit> ..\n"},
            {kDebug, "hal_frontpanel", "hal_frontpanel<HAL_FrontPanelSetLedStateForVolume> ..\n"},
            {kDebug, "hal_frontpanel", "hal_frontpanel<HAL_FrontPanelSetBeamformingDegree> ..\n"},
    };
    EXPECT_EQ(expected, logs.lines());
    EXPECT_TRUE(sysfs.writes().empty());
    EXPECT_TRUE(hal_sim::journal().empty());
}

TEST_F(Lifecycle, VersionIsLoggedNotReturned) {
    EXPECT_EQ(0, lib->GetVersion());
    ASSERT_EQ(1u, logs.lines().size());
    const LogLine line = logs.lines().front();
    EXPECT_EQ(kDebug, line.priority);
    EXPECT_EQ("hal_frontpanel", line.tag);
    EXPECT_NE(std::string::npos, line.text.find("hal_frontpanel"));
    EXPECT_NE(std::string::npos, line.text.find("HAL_FrontPanelGetVersion"));
    EXPECT_NE(std::string::npos, line.text.find("102"));
}

TEST_F(Lifecycle, DeinitLeavesTheModelAndTheClient) {
    lib->SetLedState(0, 1);
    lib->Deinit();
    sysfs.clear();
    lib->SetLedState(0, 1);
    EXPECT_TRUE(sysfs.writes().empty());
    EXPECT_EQ(1, hal_sim::instance_requests());
}

}  // namespace
