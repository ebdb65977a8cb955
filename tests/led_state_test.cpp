// SPDX-License-Identifier: Apache-2.0
// LED state requests: the request table, skips, the standby guard and flash-and-restore.
#include <functional>

#include "hal_test.h"
#include "led_writes.h"

namespace {

using LedState = HalTest;

const LogLine kStandbyLine{kDebug, "hal_frontpanel",
                           "HAL_FrontPanelSetLedState: skip to set other LED in standby mode"};

struct RowCase {
    int index;
    int state;
    Writes writes;
    const char* saved;
};

void PrintTo(const RowCase& row, std::ostream* out) {
    *out << "(" << row.index << ", " << row.state << ")";
}

const RowCase kRows[] = {
        {0, 0, pattern("none", "0", "1", "0"), "0,0,2"},
        {0, 1, pattern("none", "1", "1", "1"), "0,1,10"},
        {0, 4, pattern("none", "1", "1", "1"), "0,4,10"},
        {0, 220, pattern("none", "0", "0", "1"), "0,220,1"},
        {1,
         200,
         {bright(L::kGreen, "0"), bright(L::kSys, "0"), bright(L::kRemote, "1"),
          trig(L::kRemote, "timer"), trig(L::kGreen, "none"), trig(L::kSys, "none")},
         "1,200,0"},
        {1, 201, pattern("none", "1", "1", "1"), "1,201,10"},
};

class LedStateRow : public HalTest, public ::testing::WithParamInterface<RowCase> {};

// From the load-time model (all blinking) every row is drawn, saved, and then in force: the same
// request again is skipped without a write, a save or a log line beyond the entry line.
TEST_P(LedStateRow, DrawsSavesAndThenSkipsTheSameRequest) {
    const RowCase& row = GetParam();
    EXPECT_EQ(0, lib->SetLedState(row.index, row.state));
    EXPECT_EQ(row.writes, sysfs.writes());
    EXPECT_EQ(row.saved, saved_triple());
    EXPECT_EQ((std::vector<LogLine>{state_entry_line(row.index, row.state), kSaveLine}),
              logs.lines());

    sysfs.clear();
    logs.clear();
    hal_sim::clear_journal();
    EXPECT_EQ(0, lib->SetLedState(row.index, row.state));
    EXPECT_TRUE(sysfs.writes().empty());
    EXPECT_TRUE(set_property_calls().empty());
    EXPECT_EQ((std::vector<LogLine>{state_entry_line(row.index, row.state)}), logs.lines());
}

INSTANTIATE_TEST_SUITE_P(LedStateEveryRow, LedStateRow, ::testing::ValuesIn(kRows),
                         [](const auto& info) {
                             return "Index" + std::to_string(info.param.index) + "State" +
                                    std::to_string(info.param.state);
                         });

TEST_F(LedState, SavesTheTripleInIndexStateColourOrder) {
    lib->SetLedState(0, 4);
    EXPECT_EQ((std::vector<std::string>{"vendor.quorin.ledindex=0", "vendor.quorin.ledstate=4",
                                        "vendor.quorin.ledcolor=10"}),
              set_property_calls());
}

TEST_F(LedState, PairsOutsideTheTableDoNothing) {
    const std::pair<int, int> pairs[] = {{0, 2}, {0, 3}, {0, 5},         {1, 0},
                                         {2, 0}, {5, 1}, {-1, 0},        {3, 1},
                                         {1, 2}, {4, 2}, {INT32_MIN, 0}, {0, INT32_MAX}};
    for (const auto& [index, state] : pairs) {
        SCOPED_TRACE(std::to_string(index) + ", " + std::to_string(state));
        logs.clear();
        EXPECT_EQ(0, lib->SetLedState(index, state));
        EXPECT_EQ((std::vector<LogLine>{state_entry_line(index, state)}), logs.lines());
    }
    EXPECT_TRUE(sysfs.writes().empty());
    EXPECT_EQ("<unset>,<unset>,<unset>", saved_triple());
}

TEST_F(LedState, NegativeStateIsRejectedEvenInStandby) {
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "fresh" : "standby");
        sysfs.clear();
        logs.clear();
        hal_sim::clear_journal();
        EXPECT_EQ(-1, lib->SetLedState(0, -1));
        EXPECT_EQ(-1, lib->SetLedState(1, INT32_MIN));
        EXPECT_EQ((std::vector<LogLine>{state_entry_line(0, -1), state_entry_line(1, INT32_MIN)}),
                  logs.lines());
        EXPECT_TRUE(sysfs.writes().empty());
        EXPECT_TRUE(set_property_calls().empty());
        lib->SetLedState(0, 0);
    }
}

TEST_F(LedState, StandbyRefusesEveryNonZeroIndex) {
    lib->SetLedState(0, 0);
    sysfs.clear();
    logs.clear();
    hal_sim::clear_journal();
    const std::pair<int, int> refused[] = {{1, 201}, {3, 2}, {1, 200}, {-1, 0}, {5, 1}};
    for (const auto& [index, state] : refused) {
        SCOPED_TRACE(std::to_string(index) + ", " + std::to_string(state));
        logs.clear();
        EXPECT_EQ(0, lib->SetLedState(index, state));
        EXPECT_EQ((std::vector<LogLine>{state_entry_line(index, state), kStandbyLine}),
                  logs.lines());
    }
    EXPECT_TRUE(sysfs.writes().empty());
    EXPECT_TRUE(set_property_calls().empty());
    EXPECT_EQ("0,0,2", saved_triple());

    // Index 0 leaves standby, and other indexes work again.
    EXPECT_EQ(0, lib->SetLedState(0, 1));
    EXPECT_EQ("0,1,10", saved_triple());
    sysfs.clear();
    EXPECT_EQ(0, lib->SetLedState(1, 200));
    EXPECT_EQ(6u, sysfs.writes().size());
}

TEST_F(LedState, BlinkingStandbyFromAColourRequestAlsoRefuses) {
    lib->SetLedColor(0, 2);
    sysfs.clear();
    logs.clear();
    EXPECT_EQ(0, lib->SetLedState(1, 201));
    EXPECT_EQ((std::vector<LogLine>{state_entry_line(1, 201), kStandbyLine}), logs.lines());
    EXPECT_TRUE(sysfs.writes().empty());
}

TEST_F(LedState, AllSteadyRowsShareOneSkipCondition) {
    lib->SetLedState(1, 201);
    sysfs.clear();
    EXPECT_EQ(0, lib->SetLedState(0, 1));
    EXPECT_EQ(0, lib->SetLedState(0, 4));
    EXPECT_TRUE(sysfs.writes().empty());
    EXPECT_EQ("1,201,10", saved_triple());
}

const Writes kFlash = joined(pattern("none", "0", "0", "0"), brightness("1", "1", "1"),
                             brightness("0", "0", "0"));

struct FlashCase {
    const char* model;
    std::function<void(HalLibrary&)> setup;
    Writes restore;
};

void PrintTo(const FlashCase& c, std::ostream* out) {
    *out << c.model;
}

class LedStateFlash : public HalTest, public ::testing::WithParamInterface<FlashCase> {};

// The flash draws all off, all on, all off, then restores from the model, which it leaves as it
// was, and saves nothing.
TEST_P(LedStateFlash, FlashesThenRestoresThePatternInForce) {
    GetParam().setup(lib);
    const std::string saved = saved_triple();
    sysfs.clear();
    logs.clear();
    hal_sim::clear_journal();

    EXPECT_EQ(0, lib->SetLedState(3, 2));
    EXPECT_EQ(joined(kFlash, GetParam().restore), sysfs.writes());
    // Two sleeps of 50 ms: after all off, and after all on.
    std::vector<std::string> calls = open_write_close(pattern("none", "0", "0", "0"));
    calls.emplace_back("usleep 50000");
    for (const std::string& call : open_write_close(brightness("1", "1", "1"))) {
        calls.push_back(call);
    }
    calls.emplace_back("usleep 50000");
    for (const std::string& call :
         open_write_close(joined(brightness("0", "0", "0"), GetParam().restore))) {
        calls.push_back(call);
    }
    EXPECT_EQ(calls, sysfs.calls());
    EXPECT_EQ((std::vector<LogLine>{state_entry_line(3, 2)}), logs.lines());
    EXPECT_TRUE(set_property_calls().empty());
    EXPECT_EQ(saved, saved_triple());
}

const FlashCase kFlashCases[] = {
        {"load-time, all blinking", [](HalLibrary&) {}, pattern("timer", "1", "1", "1")},
        {"remote blinking", [](HalLibrary& hal) { hal->SetLedState(1, 200); },
         joined(Writes{trig(L::kRemote, "timer"), trig(L::kGreen, "none"), trig(L::kSys, "none")},
                brightness("1", "0", "0"))},
        {"all steady", [](HalLibrary& hal) { hal->SetLedState(0, 1); },
         pattern("none", "1", "1", "1")},
        {"sys alone, shown as all steady", [](HalLibrary& hal) { hal->SetLedState(0, 220); },
         pattern("none", "1", "1", "1")},
        {"recorded colour 5 while blinking", [](HalLibrary& hal) { hal->SetLedColor(0, 5); },
         pattern("none", "1", "1", "1")},
        {"remote steady by colour",
         [](HalLibrary& hal) {
             hal->SetLedState(0, 1);
             hal->SetLedColor(0, 0);
         },
         pattern("none", "1", "1", "1")},
        {"all blinking by colour",
         [](HalLibrary& hal) {
             hal->SetLedState(1, 200);
             hal->SetLedColor(0, 10);
         },
         pattern("timer", "1", "1", "1")},
};

INSTANTIATE_TEST_SUITE_P(LedStateEveryModel, LedStateFlash, ::testing::ValuesIn(kFlashCases),
                         [](const auto& info) { return case_name(info.param.model); });

TEST_F(LedState, FlashLeavesTheModelAsItWas) {
    lib->SetLedState(1, 200);
    lib->SetLedState(3, 2);
    sysfs.clear();
    EXPECT_EQ(0, lib->SetLedState(1, 200));
    EXPECT_TRUE(sysfs.writes().empty()) << "the model must still say remote blinking";
}

}  // namespace
