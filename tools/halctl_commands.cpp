#include "halctl_commands.h"

#include <sstream>

#include "strict_decimal.h"

namespace {

// Every command, in the order --help lists them.
const std::vector<CommandDef> commands = {
        {"led", "state", "INDEX STATE", 2, Action::kLedState,
         "HAL_FrontPanelSetLedState: apply an LED request (0 0 standby, 0 1 all steady, "
         "1 200 remote blinking, 3 2 flash, ...)"},
        {"led", "color", "INDEX COLOR", 2, Action::kLedColor,
         "HAL_FrontPanelSetLedColor: 10 all, 2 green (standby), 0 remote; keeps steady/blinking"},
        {"led", "init", "", 0, Action::kLedInit, "HAL_FrontPanelInit: replay the saved request"},
        {"led", "deinit", "", 0, Action::kLedDeinit, "HAL_FrontPanelDeinit"},
        {"led", "version", "", 0, Action::kLedVersion, "HAL_FrontPanelGetVersion (logs it)"},
        {"led", "volume", "VOLUME", 1, Action::kLedVolume,
         "HAL_FrontPanelSetLedStateForVolume (accepted and ignored)"},
        {"led", "beamforming", "DEGREE", 1, Action::kLedBeamforming,
         "HAL_FrontPanelSetBeamformingDegree (accepted and ignored)"},
        {"props", "", "", 0, Action::kPropsGet,
         "get_property, then print the saved LED request and the recorded patch state"},
        {"props", "save", "INDEX STATE COLOR", 3, Action::kPropsSave,
         "save_property: save an LED triple"},
        {"mic", "version", "", 0, Action::kMicVersion, "HAL_MicGetVersion (logs it)"},
        {"mic", "init", "", 0, Action::kMicInit, "HAL_MicInit"},
        {"mic", "deinit", "", 0, Action::kMicDeinit, "HAL_MicDeinit"},
        {"mic", "on", "", 0, Action::kMicOn, "HAL_MicSetOnOff(0): unmute, create the patch"},
        {"mic", "off", "", 0, Action::kMicOff, "HAL_MicSetOnOff(1): mute, release the patch"},
        {"mic", "onoff", "OFF", 1, Action::kMicSetOnOff,
         "HAL_MicSetOnOff(OFF): any non-zero value mutes"},
        {"mic", "get-onoff", "", 0, Action::kMicGetOnOff, "HAL_MicGetOnOff, printed"},
        {"mic", "echo", "LEVEL", 1, Action::kMicEcho,
         "HAL_MicSetEchoLevel: 0..100, sent to the audio port as the echo-decay weight"},
        {"mic", "get-echo", "", 0, Action::kMicGetEcho, "HAL_MicGetEchoLevel, printed"},
        {"mic", "echo-max", "", 0, Action::kMicEchoMax, "HAL_MicGetEchoMaxLevel, printed"},
        {"mic", "volume", "VOLUME", 1, Action::kMicVolume,
         "HAL_MicSetVolume: 0..100, written to the ADC as 12 + VOLUME / 5"},
        {"mic", "get-volume", "", 0, Action::kMicGetVolume, "HAL_MicGetVolume, printed"},
        {"mic", "pause", "", 0, Action::kMicPause, "HAL_MicPause"},
        {"mic", "resume", "", 0, Action::kMicResume, "HAL_MicResume"},
        {"patch", "enable", "", 0, Action::kPatchEnable,
         "android::enableMicAudioPatch: create the patch, record \"1\""},
        {"patch", "disable", "", 0, Action::kPatchDisable,
         "android::disableMicAudioPatch: release a recorded patch, record \"0\""},
        {"patch", "status", "", 0, Action::kPatchStatus,
         "android::isMicAudioPatchEnabled, printed as enabled or disabled"},
        {"patch", "enable-mic", "", 0, Action::kPatchEnableMic,
         "enableMIC: create the patch unless one is recorded"},
        {"patch", "disable-mic", "", 0, Action::kPatchDisableMic, "disableMIC"},
        {"patch", "echo-weight", "WEIGHT", 1, Action::kPatchEchoWeight,
         "setEchoDecayWeight: send audio_echo_decay=WEIGHT to the port (unclamped)"},
        {"", "show", "", 0, Action::kShow,
         "draw the LEDs, the ADC, the patch state and the saved request"},
        {"", "restart", "", 0, Action::kRestart,
         "unload and reload the library, as a process restart would"},
        {"", "reboot", "", 0, Action::kReboot,
         "simulated device only: unload the library and drop every property not named "
         "persist.*, as a device reboot would"},
        {"", "run", "FILE", 0, Action::kRun,
         "run a script (FILE, or - for standard input): one command a line, # comments"},
        {"", "doctor", "[--json]", 0, Action::kDoctor,
         "check what the library needs from the device (attributes, SELinux, properties, "
         "libraries) without calling it; exit 1 when anything fails"},
};

const char* const kGroups[] = {"led", "mic", "patch", "props"};

bool is_group(const std::string& word) {
    for (const char* group : kGroups) {
        if (word == group) return true;
    }
    return false;
}

const CommandDef* find(const std::string& group, const std::string& name) {
    for (const CommandDef& def : commands) {
        if (group == def.group && name == def.name) return &def;
    }
    return nullptr;
}

bool is_help(const std::string& word) {
    return word == "--help" || word == "-h";
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::vector<std::string> split_params(const char* params) {
    std::vector<std::string> names;
    std::istringstream in(params);
    for (std::string name; in >> name;) names.push_back(name);
    return names;
}

ParseResult failure(std::string error, std::string usage) {
    ParseResult result;
    result.error = std::move(error);
    result.usage = std::move(usage);
    return result;
}

}  // namespace

std::string command_name(const CommandDef& def) {
    std::string name = def.group;
    if (!name.empty() && def.name[0] != '\0') name += ' ';
    return name + def.name;
}

std::string usage_line(const CommandDef& def) {
    std::string line = "halctl " + command_name(def);
    if (def.params[0] != '\0') line += std::string(" ") + def.params;
    return line;
}

ParseResult parse_command(const std::vector<std::string>& words, bool in_script) {
    if (words.empty()) return failure("no command given", "halctl --help lists the commands");
    const std::string& first = words[0];

    // A group and its command word, or a command of its own.
    std::string group;
    std::string name = first;
    size_t next = 1;
    if (is_group(first)) {
        group = first;
        name = words.size() > 1 && find(group, words[1]) != nullptr ? words[1] : "";
        if (name.empty() && words.size() > 1 && !is_help(words[1]) && find(group, "") == nullptr) {
            name = words[1];  // unknown: reported below
        }
        next = name.empty() ? 1 : 2;
    }

    if (!in_script) {
        for (const std::string& word : words) {
            if (!is_help(word)) continue;
            const CommandDef* def = find(group, name);
            ParseResult result;
            result.help = true;
            result.usage = help_text(def != nullptr && (def->name[0] != '\0' || group.empty())
                                             ? command_name(*def)
                                             : group);
            return result;
        }
    }

    const CommandDef* def = find(group, name);
    if (def == nullptr) {
        if (!group.empty() && name.empty()) {
            return failure("\"" + group + "\" needs a command", "halctl " + group + " --help");
        }
        if (!group.empty()) {
            return failure("unknown " + group + " command " + quoted(name),
                           "halctl " + group + " --help lists them");
        }
        return failure("unknown command " + quoted(first), "halctl --help lists the commands");
    }
    if (in_script && def->action == Action::kRun) {
        return failure("run cannot be used inside a script", usage_line(*def));
    }

    const std::vector<std::string> rest(words.begin() + static_cast<long>(next), words.end());
    ParseResult result;
    result.command.def = def;
    if (def->action == Action::kRun) {
        if (rest.size() != 1) {
            return failure(command_name(*def) + " takes one file name, got " +
                                   std::to_string(rest.size()) + " arguments",
                           usage_line(*def));
        }
        result.command.file = rest[0];
        result.ok = true;
        return result;
    }
    if (def->action == Action::kDoctor) {
        if (rest.size() > 1 || (rest.size() == 1 && rest[0] != "--json")) {
            return failure("doctor takes only --json, got " + quoted(rest.back()), usage_line(*def));
        }
        result.command.json = !rest.empty();
        result.ok = true;
        return result;
    }
    if (rest.size() != static_cast<size_t>(def->arg_count)) {
        std::string expected = def->arg_count == 0
                                       ? "takes no arguments"
                                       : "takes " + std::to_string(def->arg_count) +
                                                 (def->arg_count == 1 ? " argument" : " arguments");
        return failure(command_name(*def) + " " + expected + ", got " + std::to_string(rest.size()),
                       usage_line(*def));
    }
    const std::vector<std::string> params = split_params(def->params);
    for (size_t i = 0; i < rest.size(); ++i) {
        if (!parse_strict_decimal(rest[i], &result.command.args[i])) {
            return failure(command_name(*def) + ": " + params[i] +
                                   " must be a decimal integer in the signed 32-bit range, got " +
                                   quoted(rest[i]),
                           usage_line(*def));
        }
    }
    result.ok = true;
    return result;
}

ScriptResult parse_script(const std::string& text) {
    ScriptResult script;
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const std::string written = line;
        const size_t comment = line.find('#');
        if (comment != std::string::npos) line.erase(comment);
        std::istringstream words_in(line);
        std::vector<std::string> words;
        for (std::string word; words_in >> word;) words.push_back(word);
        if (words.empty()) continue;
        ParseResult parsed = parse_command(words, true);
        if (!parsed.ok) {
            script.commands.clear();
            script.error = "line " + std::to_string(number) + ": " + parsed.error;
            script.usage = parsed.usage;
            return script;
        }
        parsed.command.line = number;
        parsed.command.text = written;
        script.commands.push_back(parsed.command);
    }
    script.ok = true;
    return script;
}

std::string help_text(const std::string& topic) {
    std::ostringstream out;
    if (topic.empty()) {
        out << "usage: halctl [-vx] [--lib=PATH] [--color=auto|always|never] [--] COMMAND [ARGS]\n"
               "\n"
               "Drives the Quorin hardware-support library (libquorin_hal.so) through its\n"
               "entry points. Exits 0 when the entry point returned 0, 1 when it returned -1,\n"
               "2 for a command line that is not understood (nothing is called then).\n"
               "Integers are decimal, in the signed 32-bit range.\n"
               "\n"
               "options:\n"
               "  -v, --verbose  show the library's log lines (all priorities, logcat brief\n"
               "                 format, on standard error); without it only warnings and errors.\n"
               "                 Every line also goes to the platform's log (logcat on a device)\n"
               "  -x             in run, print each script line before running it\n"
               "  --lib=PATH     the library to load (default: libquorin_hal.so, found beside\n"
               "                 halctl or on the library path); --lib PATH as well\n"
               "  --color=WHEN   colour in show: auto (a terminal), always or never\n"
               "  --version      print halctl's version\n"
               "  --             ends the options\n"
               "\n"
               "commands:\n";
    }
    bool any = false;
    for (const CommandDef& def : commands) {
        const std::string name = command_name(def);
        if (!topic.empty() && topic != name && topic != def.group) continue;
        any = true;
        std::string usage = usage_line(def).substr(7);
        out << "  " << usage;
        if (usage.size() < 28) {
            out << std::string(28 - usage.size(), ' ');
        } else {
            out << "\n" << std::string(30, ' ');
        }
        out << def.summary << "\n";
    }
    if (!any) out << "no help for \"" << topic << "\"\n";
    return out.str();
}
