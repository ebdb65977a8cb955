// SPDX-License-Identifier: Apache-2.0
// What `halctl show` draws: the device as read from its attribute files and properties.
#pragma once

#include <string>

#include "panel_leds.h"

enum class LedLook { kAbsent, kOff, kOn, kBlinking };

struct PanelState {
    LedLook leds[kPanelLedCount];  // every LED of the panel, in the panel's order
    std::string mute;              // "1", "0", other text as read, or "" when empty or unreadable
    bool mute_read;                // the mute attribute could be read (it may be empty)
    int volume_register;           // -1 when unreadable or not a number
    std::string volume_text;       // what the volume attribute holds when it is not a number
    bool volume_read;
    bool trigger_cut[kPanelLedCount];  // the trigger list ran past the read's bound
    std::string micstate;
    std::string ledindex, ledstate, ledcolor;
    std::string port_summary;  // the simulated port's record, where there is one
};

// Reads the device files and properties now.
PanelState read_panel();
// Only the properties (the saved LED request and the recorded patch state).
void read_properties(PanelState* panel);

// Interprets attribute text as read back: the trigger's active name and the brightness number.
std::string active_trigger(const std::string& text);
int leading_number(const std::string& text);

std::string render_panel(const PanelState& panel, bool colour);
