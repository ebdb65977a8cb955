#include "panel_view.h"

#include <fcntl.h>
#include <sys/system_properties.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <sstream>

#include "hal_sim_view.h"

namespace {

constexpr const char* kLedNames[] = {"remote_led", "green_led", "sys_led"};
constexpr const char* kLedDir = "/sys/devices/platform/gpioleds/leds/";
constexpr const char* kAdcDir =
        "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018/";

// Plain POSIX, as the library itself opens these files, so that a sysfs emulated by
// preloading (umockdev) answers both alike. Non-blocking: an emulated attribute can be a FIFO,
// which would otherwise hold the open until someone writes to it.
bool read_attribute(const std::string& path, std::string* text) {
    text->clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    // The whole attribute: the kernel's trigger list runs past 256 bytes, and the active entry,
    // in brackets, may be near its end.
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(fd, buffer, sizeof(buffer))) > 0) text->append(buffer, static_cast<size_t>(n));
    close(fd);
    return n == 0;
}

std::string property(const char* key) {
    char value[PROP_VALUE_MAX] = {};
    __system_property_get(key, value);
    return value;
}

LedLook read_led(const char* name) {
    std::string brightness;
    std::string trigger;
    const std::string dir = std::string(kLedDir) + name + "/";
    if (!read_attribute(dir + "brightness", &brightness) ||
        !read_attribute(dir + "trigger", &trigger)) {
        return LedLook::kAbsent;
    }
    if (active_trigger(trigger) == "timer") return LedLook::kBlinking;
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

std::string colour_name(const std::string& code) {
    if (code == "0") return "remote_led alone";
    if (code == "1") return "sys_led alone";
    if (code == "2") return "green_led alone, standby";
    if (code == "10") return "all three LEDs";
    return "no pattern of its own";
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
    for (const char* name : {"timer", "none"}) {
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
    panel->micstate = property("vendor.quorin.micstate");
    panel->ledindex = property("vendor.quorin.ledindex");
    panel->ledstate = property("vendor.quorin.ledstate");
    panel->ledcolor = property("vendor.quorin.ledcolor");
}

PanelState read_panel() {
    PanelState panel;
    for (int i = 0; i < 3; ++i) panel.leds[i] = read_led(kLedNames[i]);
    std::string text;
    if (read_attribute(std::string(kAdcDir) + "adc3101_mute_ctl", &text) && !text.empty()) {
        panel.mute = text.substr(0, 1);
    }
    panel.volume_register = read_attribute(std::string(kAdcDir) + "adc3101_vol_ctl", &text)
                                    ? leading_number(text)
                                    : -1;
    read_properties(&panel);
    panel.port_summary = simulated_port_summary();
    return panel;
}

std::string render_panel(const PanelState& panel, bool colour) {
    constexpr size_t kColumn = 13;
    std::ostringstream out;
    const std::string rule(3 * kColumn + 1, '-');
    const std::string title = "+-- front panel ";
    out << title << rule.substr(title.size() - 1) << "+\n|";
    for (const char* name : kLedNames) out << centred(name, kColumn, strlen(name));
    out << " |\n|";
    for (LedLook look : panel.leds) out << centred(look_symbol(look, colour), kColumn, 3);
    out << " |\n|";
    for (LedLook look : panel.leds)
        out << centred(look_word(look), kColumn, strlen(look_word(look)));
    out << " |\n+" << rule << "+\n";

    out << "  ADC mute        ";
    if (panel.mute.empty()) {
        out << "unreadable\n";
    } else {
        out << (panel.mute == "1"   ? "muted"
                : panel.mute == "0" ? "unmuted"
                                    : "\"" + panel.mute + "\"")
            << "\n";
    }
    out << "  ADC volume      ";
    if (panel.volume_register < 0) {
        out << "unreadable\n";
    } else if (panel.volume_register >= 12 && panel.volume_register <= 32) {
        const int low = (panel.volume_register - 12) * 5;
        out << "register " << panel.volume_register << " (volume "
            << (panel.volume_register == 32 ? "100"
                                            : std::to_string(low) + ".." + std::to_string(low + 4))
            << ")\n";
    } else {
        out << "register " << panel.volume_register << "\n";
    }
    out << "  mic patch       "
        << (panel.micstate.empty()     ? "never recorded"
            : panel.micstate[0] == '1' ? "recorded enabled"
                                       : "recorded disabled");
    if (!panel.micstate.empty()) out << " (micstate \"" << panel.micstate << "\")";
    out << "\n";
    if (!panel.port_summary.empty()) out << "  audio port      " << panel.port_summary << "\n";
    out << "  saved request   ";
    if (panel.ledindex.empty()) {
        out << "none\n";
    } else {
        out << "led index " << panel.ledindex << ", LED state " << panel.ledstate << ", colour "
            << panel.ledcolor << " (" << colour_name(panel.ledcolor) << ")\n";
    }
    return out.str();
}
