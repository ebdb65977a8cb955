// SPDX-License-Identifier: Apache-2.0
// LED colour requests on a steady and on a blinking panel.
#include "hal_test.h"
#include "led_writes.h"

namespace {

using LedColor = HalTest;

struct ColorCase {
    bool steady;
    int color;
    Writes writes;
};

void PrintTo(const ColorCase& c, std::ostream* out) {
    *out << (c.steady ? "steady" : "blinking") << " colour " << c.color;
}

const ColorCase kColorCases[] = {
        {true, 10, pattern("none", "1", "1", "1")},
        {true,
         2,
         {bright(L::kRemote, "0"), bright(L::kSys, "0"), trig(L::kGreen, "none"),
          bright(L::kGreen, "1")}},
        {true,
         0,
         {bright(L::kSys, "0"), bright(L::kGreen, "0"), trig(L::kRemote, "none"),
          bright(L::kRemote, "1")}},
        {true, 1, {}},
        {true, 5, {}},
        {true, INT32_MAX, {}},
        {false, 10, triggers("timer")},
        {false, 2, {bright(L::kRemote, "0"), bright(L::kSys, "0"), trig(L::kGreen, "timer")}},
        {false, 0, {bright(L::kGreen, "0"), bright(L::kSys, "0"), trig(L::kRemote, "timer")}},
        {false, 1, {}},
        {false, 7, {}},
};

class LedColorColumn : public HalTest, public ::testing::WithParamInterface<ColorCase> {};

// The panel is steady after (0, 1) and blinking after load. Each colour draws its column's
// writes and saves (index, 1 steady / 2 blinking, colour), every time it is asked for.
TEST_P(LedColorColumn, DrawsTheColumnOfThePanelsCharacterAndSaves) {
    const ColorCase& c = GetParam();
    if (c.steady) lib->SetLedState(0, 1);
    const std::string saved =
            std::to_string(7) + "," + (c.steady ? "1" : "2") + "," + std::to_string(c.color);
    for (int round = 0; round < 2; ++round) {
        sysfs.clear();
        logs.clear();
        hal_sim::clear_journal();
        EXPECT_EQ(0, lib->SetLedColor(7, c.color));
        EXPECT_EQ(c.writes, sysfs.writes());
        EXPECT_EQ(saved, saved_triple());
        EXPECT_EQ(3u, set_property_calls().size());
        EXPECT_EQ(2u, logs.lines().size());
        EXPECT_EQ(color_entry_line(7, c.color), logs.lines().front());
    }
}

INSTANTIATE_TEST_SUITE_P(LedColorBothColumns, LedColorColumn, ::testing::ValuesIn(kColorCases),
                         [](const auto& info) {
                             return std::string(info.param.steady ? "Steady" : "Blinking") +
                                    "Colour" + std::to_string(info.param.color);
                         });

TEST_F(LedColor, NegativeColourIsRejectedWithOnlyTheEntryLine) {
    EXPECT_EQ(-1, lib->SetLedColor(0, -3));
    EXPECT_EQ(-1, lib->SetLedColor(0, INT32_MIN));
    EXPECT_EQ((std::vector<LogLine>{color_entry_line(0, -3), color_entry_line(0, INT32_MIN)}),
              logs.lines());
    EXPECT_TRUE(sysfs.writes().empty());
    EXPECT_EQ("<unset>,<unset>,<unset>", saved_triple());
}

TEST_F(LedColor, ColourKeepsTheCharacterOfThePanel) {
    lib->SetLedState(1, 200);  // remote blinking
    lib->SetLedColor(0, 10);
    lib->SetLedColor(0, 2);
    EXPECT_EQ("0,2,2", saved_triple()) << "still blinking after two colour requests";
}

TEST_F(LedColor, RecordedColourWithoutPatternMakesRowsSkipOrNot) {
    lib->SetLedState(0, 1);
    lib->SetLedColor(5, 1);  // steady colour 1: nothing drawn, yet recorded
    sysfs.clear();
    EXPECT_EQ(0, lib->SetLedState(0, 220));
    EXPECT_TRUE(sysfs.writes().empty()) << "sys alone counts as in force";
    EXPECT_EQ("5,1,1", saved_triple());

    lib->SetLedColor(5, 5);
    EXPECT_EQ(0, lib->SetLedState(0, 1));
    EXPECT_EQ(pattern("none", "1", "1", "1"), sysfs.writes());
    EXPECT_EQ("0,1,10", saved_triple());
}

TEST_F(LedColor, SteadyAllColourMakesTheAllSteadyRowsSkip) {
    lib->SetLedState(0, 220);
    lib->SetLedColor(0, 10);
    sysfs.clear();
    lib->SetLedState(0, 1);
    lib->SetLedState(0, 4);
    lib->SetLedState(1, 201);
    EXPECT_TRUE(sysfs.writes().empty());
}

TEST_F(LedColor, LedIndexIsSavedUnvalidated) {
    EXPECT_EQ(0, lib->SetLedColor(-1, 10));
    EXPECT_EQ("-1,2,10", saved_triple());
    lib.restart();
    sysfs.clear();
    lib->Init();
    EXPECT_TRUE(sysfs.writes().empty()) << "a negative saved index replays nothing";
}

}  // namespace
