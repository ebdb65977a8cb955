// SPDX-License-Identifier: Apache-2.0
#include "panel_view.h"

#include <cctype>
#include <cstring>
#include <sstream>

#include "adc3101.h"
#include "device_read.h"
#include "hal_sim_view.h"
#include "led_color_codes.h"
#include "panel_leds.h"
#include "property_keys.h"
#include "strict_decimal.h"
#include "text_escape.h"

namespace {

LedLook read_led(Led led, bool* cut) {
    std::string brightness;
    std::string trigger;
    if (!read_attribute(led_attribute_path(led, LedAttribute::kBrightness), &brightness) ||
        !read_attribute(led_attribute_path(led, LedAttribute::kTrigger), &trigger, cut)) {
        return LedLook::kAbsent;
    }
    if (active_trigger(trigger) == kTriggerTimer) return LedLook::kBlinking;
    return leading_number(brightness) > 0 ? LedLook::kOn : LedLook::kOff;
}

const char* look_word(LedLook look) {
    switch (look) {
        case LedLook::kAbsent:
            return "absent";
        case LedLook::kOff:
            return "off";
        case LedLook::kOn:
            return "on";
        case LedLook::kBlinking:
            return "blinking";
    }
    return "?";
}

std::string look_symbol(LedLook look, bool colour) {
    if (!colour) {
        switch (look) {
            case LedLook::kAbsent:
                return " x ";
            case LedLook::kOff:
                return "( )";
            case LedLook::kOn:
                return "(*)";
            case LedLook::kBlinking:
                return "(~)";
        }
    }
    switch (look) {
        case LedLook::kAbsent:
            return "\033[31m ✕ \033[0m";
        case LedLook::kOff:
            return "\033[2m ○ \033[0m";
        case LedLook::kOn:
            return "\033[1;32m ● \033[0m";
        case LedLook::kBlinking:
            return "\033[5;33m ◉ \033[0m";
    }
    return "?";
}

std::string centred(const std::string& text, size_t width, size_t visible) {
    const size_t left = visible < width ? (width - visible) / 2 : 0;
    const size_t right = visible < width ? width - visible - left : 0;
    return std::string(left, ' ') + text + std::string(right, ' ');
}

// The saved colour as written: only a code's own decimal spelling names its pattern.
const char* colour_meaning(const std::string& saved) {
    int code = 0;
    if (!parse_strict_decimal(saved, &code) || std::to_string(code) != saved) {
        return kNoPatternMeaning;
    }
    return led_color_meaning(code);
}

std::string quoted_text(const std::string& text) {
    return "\"" + printable(text) + "\"";
}

std::string mute_word(const std::string& mute) {
    if (mute == kAdcMuted) return "muted";
    if (mute == kAdcUnmuted) return "unmuted";
    return quoted_text(mute);
}

// Text as read, without its trailing newline.
std::string chomped(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\0')) text.pop_back();
    return text;
}

// "register 23 (volume 55..59)": the volumes that set the register.
std::string volume_words(int volume_register) {
    std::string text = "register " + std::to_string(volume_register);
    if (volume_register < kAdcVolumeRegisterLowest || volume_register > kAdcVolumeRegisterHighest) {
        return text;
    }
    if (volume_register == kAdcVolumeRegisterHighest) {
        return text + " (volume " + std::to_string(kMicVolumeHighest) + ")";
    }
    const int low = lowest_volume_for_register(volume_register);
    const int high = lowest_volume_for_register(volume_register + 1) - 1;
    return text + " (volume " + std::to_string(low) + ".." + std::to_string(high) + ")";
}

}  // namespace

std::string active_trigger(const std::string& text) {
    // Real sysfs lists every trigger and brackets the active one: "none [timer] heartbeat".
    const size_t open = text.find('[');
    const size_t close = text.find(']', open);
    if (open != std::string::npos && close != std::string::npos) {
        return text.substr(open + 1, close - open - 1);
    }
    // An emulated attribute is a plain file that is not truncated on write, so a shorter value
    // leaves the tail of a longer earlier one ("none" over "timer" reads "noner"): the value
    // written last is the one at the start.
    for (const char* name : {kTriggerTimer, kTriggerNone}) {
        if (text.compare(0, strlen(name), name) == 0) return name;
    }
    std::istringstream words(text);
    std::string first;
    words >> first;
    return first;
}

int leading_number(const std::string& text) {
    // The same holds for numbers: only the leading digits are the last value written; both real
    // sysfs and our values never grow shorter within one attribute ("0"/"1", 12..32).
    int value = 0;
    size_t i = 0;
    for (; i < text.size() && isdigit(static_cast<unsigned char>(text[i])) != 0 && i < 9; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    return i == 0 ? -1 : value;
}

void read_properties(PanelState* panel) {
    panel->micstate = read_property(kMicStateProperty);
    panel->ledindex = read_property(kLedIndexProperty);
    panel->ledstate = read_property(kLedStateProperty);
    panel->ledcolor = read_property(kLedColorProperty);
}

PanelState read_panel() {
    // Value-initialised: an LED whose brightness cannot be read never reaches its trigger read.
    PanelState panel{};
    for (size_t i = 0; i < kPanelLedCount; ++i) {
        panel.leds[i] = read_led(kPanelLeds[i].led, &panel.trigger_cut[i]);
    }
    std::string text;
    // Both mute values are one character; what follows is the tail of an earlier write.
    panel.mute_read = read_attribute(kAdcMutePath.c_str(), &text);
    if (panel.mute_read) {
        text = chomped(text);
        const bool value = !text.empty() && (text[0] == kAdcMuted[0] || text[0] == kAdcUnmuted[0]);
        panel.mute = value ? text.substr(0, 1) : text;
    }
    panel.volume_read = read_attribute(kAdcVolumePath.c_str(), &text);
    panel.volume_register = panel.volume_read ? leading_number(text) : -1;
    if (panel.volume_register < 0) panel.volume_text = chomped(text);
    read_properties(&panel);
    panel.port_summary = simulated_port_summary();
    return panel;
}

std::string render_panel(const PanelState& panel, bool colour) {
    constexpr size_t kColumn = 13;
    std::ostringstream out;
    const std::string rule(kPanelLedCount * kColumn + 1, '-');
    const std::string title = "+-- front panel ";
    out << title << rule.substr(title.size() - 1) << "+\n|";
    for (const PanelLed& led : kPanelLeds) out << centred(led.name, kColumn, strlen(led.name));
    out << " |\n|";
    for (LedLook look : panel.leds) out << centred(look_symbol(look, colour), kColumn, 3);
    out << " |\n|";
    for (LedLook look : panel.leds)
        out << centred(look_word(look), kColumn, strlen(look_word(look)));
    out << " |\n+" << rule << "+\n";

    out << "  ADC mute        ";
    if (!panel.mute.empty()) {
        out << mute_word(panel.mute) << "\n";
    } else {
        out << (panel.mute_read ? "empty\n" : "unreadable\n");
    }
    out << "  ADC volume      ";
    if (panel.volume_register >= 0) {
        out << volume_words(panel.volume_register) << "\n";
    } else if (!panel.volume_read) {
        out << "unreadable\n";
    } else {
        out << (panel.volume_text.empty() ? "empty" : quoted_text(panel.volume_text)) << "\n";
    }
    out << "  mic patch       "
        << (panel.micstate.empty()                     ? "never recorded"
            : panel.micstate[0] == kMicStateEnabled[0] ? "recorded enabled"
                                                       : "recorded disabled");
    if (!panel.micstate.empty()) out << " (micstate " << quoted_text(panel.micstate) << ")";
    out << "\n";
    if (!panel.port_summary.empty()) out << "  audio port      " << panel.port_summary << "\n";
    out << "  saved request   ";
    if (panel.ledindex.empty()) {
        out << "none\n";
    } else {
        out << "led index " << printable(panel.ledindex) << ", LED state "
            << printable(panel.ledstate) << ", colour " << printable(panel.ledcolor) << " ("
            << colour_meaning(panel.ledcolor) << ")\n";
    }
    for (size_t i = 0; i < kPanelLedCount; ++i) {
        if (!panel.trigger_cut[i]) continue;
        out << "  note            " << kPanelLeds[i].name
            << "/trigger is longer than 64 KiB: read up to there (cut)\n";
    }
    return out.str();
}
