// SPDX-License-Identifier: Apache-2.0
// What `halctl show` prints for a panel read back: the ADC lines, the recorded patch state and the
// saved request, from given readings.
#include "panel_view.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

#include "device_paths.h"
#include "fake_sysfs.h"

namespace {

PanelState panel() {
    PanelState state{};
    for (LedLook& look : state.leds) look = LedLook::kOff;
    state.mute = "0";
    state.volume_register = 12;
    return state;
}

// The line of `show` that starts with `label`, without its label.
std::string line_of(const std::string& text, const std::string& label) {
    const size_t at = text.find("  " + label);
    if (at == std::string::npos) return "<no line " + label + ">";
    const size_t end = text.find('\n', at);
    std::string line = text.substr(at, end - at);
    return line.substr(line.find_first_not_of(' ', 2 + label.size()));
}

// The line `label` of `show` for a panel changed by `change`.
template <typename Change>
std::string shown(const std::string& label, Change change) {
    PanelState state = panel();
    change(state);
    return line_of(render_panel(state, false), label);
}

TEST(HalctlPanelView, VolumeRegisterNamesTheVolumesThatSetIt) {
    const struct {
        int register_value;
        const char* shown;
    } cases[] = {
            {-1, "unreadable"},
            {11, "register 11"},
            {12, "register 12 (volume 0..4)"},
            {13, "register 13 (volume 5..9)"},
            {23, "register 23 (volume 55..59)"},
            {31, "register 31 (volume 95..99)"},
            {32, "register 32 (volume 100)"},
            {33, "register 33"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.shown,
                  shown("ADC volume", [&](PanelState& s) { s.volume_register = c.register_value; }))
                << c.register_value;
    }
}

TEST(HalctlPanelView, MuteAndPatchStateAsRead) {
    const struct {
        const char* mute;
        const char* shown;
    } mutes[] = {{"1", "muted"}, {"0", "unmuted"}, {"7", "\"7\""}, {"", "unreadable"}};
    for (const auto& c : mutes) {
        EXPECT_EQ(c.shown, shown("ADC mute", [&](PanelState& s) { s.mute = c.mute; })) << c.mute;
    }
    const struct {
        const char* micstate;
        const char* shown;
    } patches[] = {{"", "never recorded"},
                   {"1", "recorded enabled (micstate \"1\")"},
                   {"0", "recorded disabled (micstate \"0\")"},
                   {"10", "recorded enabled (micstate \"10\")"}};
    for (const auto& c : patches) {
        EXPECT_EQ(c.shown, shown("mic patch", [&](PanelState& s) { s.micstate = c.micstate; }))
                << c.micstate;
    }
}

TEST(HalctlPanelView, SavedColourNamedOnlyInItsOwnSpelling) {
    const struct {
        const char* color;
        const char* meaning;
    } cases[] = {
            {"0", "remote_led alone"},         {"1", "sys_led alone"},
            {"2", "green_led alone, standby"}, {"10", "all three LEDs"},
            {"3", "no pattern of its own"},    {"010", "no pattern of its own"},
            {"-0", "no pattern of its own"},   {"x", "no pattern of its own"},
    };
    for (const auto& c : cases) {
        const std::string line = shown("saved request", [&](PanelState& s) {
            s.ledindex = "0";
            s.ledstate = "1";
            s.ledcolor = c.color;
        });
        EXPECT_EQ(
                "led index 0, LED state 1, colour " + std::string(c.color) + " (" + c.meaning + ")",
                line)
                << c.color;
    }
    EXPECT_EQ("none", shown("saved request", [](PanelState&) {}));
}

TEST(HalctlPanelView, LedsInPanelOrderWithTheirLooks) {
    PanelState state = panel();
    state.leds[0] = LedLook::kBlinking;
    state.leds[1] = LedLook::kOn;
    state.leds[2] = LedLook::kAbsent;
    const std::string drawn =
            "+-- front panel -------------------------+\n"
            "| remote_led    green_led     sys_led    |\n"
            "|     (~)          (*)           x       |\n"
            "|  blinking        on         absent     |\n"
            "+----------------------------------------+\n";
    EXPECT_EQ(drawn, render_panel(state, false).substr(0, drawn.size()));
}

// What was read is shown as it is: empty, or its text with control bytes escaped, never taken
// for a file that could not be read.
TEST(HalctlPanelView, EmptyAndOddTextShownAsRead) {
    const auto read_as = [](const std::string& text) {
        return [text](PanelState& s) {
            s.mute = text;
            s.mute_read = true;
            s.volume_register = -1;
            s.volume_text = text;
            s.volume_read = true;
        };
    };
    EXPECT_EQ("empty", shown("ADC mute", read_as("")));
    EXPECT_EQ("empty", shown("ADC volume", read_as("")));
    EXPECT_EQ("\"on\\x07\\x1b[2J\"", shown("ADC mute", read_as("on\x07\x1b[2J")));
    EXPECT_EQ("\"ten\\x0d\"", shown("ADC volume", read_as("ten\r")));
    EXPECT_EQ("recorded enabled (micstate \"1\\x07\")",
              shown("mic patch", [](PanelState& s) { s.micstate = "1\x07"; }));
    const std::string saved = shown("saved request", [](PanelState& s) {
        s.ledindex = "0\x1b";
        s.ledstate = "1";
        s.ledcolor = "10";
    });
    EXPECT_EQ("led index 0\\x1b, LED state 1, colour 10 (", saved.substr(0, 41));
}

TEST(HalctlPanelView, ATriggerListPastTheBoundIsSaidToBeCut) {
    EXPECT_EQ("<no line note>", shown("note", [](PanelState&) {}));
    EXPECT_EQ("green_led/trigger is longer than 64 KiB: read up to there (cut)",
              shown("note", [](PanelState& s) { s.trigger_cut[1] = true; }));
}

// An LED whose brightness is missing is absent, and its trigger was never read, so never cut. The
// panel is read into storage full of set bits, where a flag left unset would read as true.
TEST(HalctlPanelView, AnLedWithoutBrightnessIsAbsentAndNotCut) {
    for (const char* brightness : {test_paths::kRemoteBrightness, test_paths::kGreenBrightness,
                                   test_paths::kSysBrightness}) {
        fake_sysfs::Sandbox sysfs;
        sysfs.remove(brightness);
        alignas(PanelState) unsigned char storage[sizeof(PanelState)];
        std::memset(storage, 0xFF, sizeof(storage));
        const PanelState* state = new (storage) PanelState(read_panel());
        size_t absent = 0;
        for (size_t i = 0; i < kPanelLedCount; ++i) {
            EXPECT_FALSE(state->trigger_cut[i]) << brightness << " LED " << i;
            if (state->leds[i] == LedLook::kAbsent) ++absent;
        }
        EXPECT_EQ(1U, absent) << brightness;
        EXPECT_EQ("<no line note>", line_of(render_panel(*state, false), "note")) << brightness;
        state->~PanelState();
    }
}

}  // namespace
