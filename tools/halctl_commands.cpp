// SPDX-License-Identifier: Apache-2.0
#include "halctl_commands.h"

#include <cstdio>
#include <cstring>
#include <sstream>
#include <type_traits>
#include <utility>

#include "strict_decimal.h"

namespace {

// An entry point's parameters and result.
template <typename Fn>
struct EntryPoint;
template <typename Result, typename... Params>
struct EntryPoint<Result (*)(Params...)> {
    using Returns = Result;
    static constexpr int kParameters = sizeof...(Params);
};
template <auto member>
using EntryPointOf = EntryPoint<std::remove_reference_t<decltype(std::declval<HalApi>().*member)>>;

template <typename Fn, size_t... I>
auto call_with(Fn entry_point, [[maybe_unused]] const Integers& args, std::index_sequence<I...>) {
    return entry_point(args[I]...);
}

// The entry point with the command's integers, one for each parameter: its status, 0 for one
// that returns nothing.
template <auto member>
int status_call(Halctl& /*halctl*/, const HalApi& hal, const Integers& args) {
    using Entry = EntryPointOf<member>;
    const auto in_order = std::make_index_sequence<Entry::kParameters>();
    if constexpr (std::is_void_v<typename Entry::Returns>) {
        call_with(hal.*member, args, in_order);
        return kExitOk;
    } else {
        return status_of(call_with(hal.*member, args, in_order));
    }
}

// A getter's value, printed.
template <auto member>
int value_call(Halctl& /*halctl*/, const HalApi& hal, const Integers& /*args*/) {
    if constexpr (std::is_same_v<typename EntryPointOf<member>::Returns, bool>) {
        return print_enabled((hal.*member)());
    } else {
        return print_value((hal.*member)());
    }
}

// A command that calls one entry point and takes an integer for each of its parameters.
template <auto member>
constexpr CommandCall returns_status() {
    return library_call(integers(EntryPointOf<member>::kParameters), status_call<member>);
}

// The entry point with a fixed argument; the command takes none.
template <auto member, int argument>
int fixed_call(Halctl& /*halctl*/, const HalApi& hal, const Integers& /*args*/) {
    return status_of((hal.*member)(argument));
}

template <auto member, int argument>
constexpr CommandCall returns_status_with() {
    return library_call(kNoArguments, fixed_call<member, argument>);
}

template <auto member>
constexpr CommandCall prints_value() {
    static_assert(EntryPointOf<member>::kParameters == 0, "a getter takes nothing");
    return library_call(kNoArguments, value_call<member>);
}

// HAL_MicSetOnOff's argument: non-zero mutes.
constexpr int kMicUnmuted = 0;
constexpr int kMicMuted = 1;

// Every command with its call, in the order --help lists them.
constexpr CommandDef kCommands[] = {
        {"led", "state", "INDEX STATE", returns_status<&HalApi::SetLedState>(),
         "HAL_FrontPanelSetLedState: apply an LED request (0 0 standby, 0 1 all steady, "
         "1 200 remote blinking, 3 2 flash, ...)"},
        {"led", "color", "INDEX COLOR", returns_status<&HalApi::SetLedColor>(),
         "HAL_FrontPanelSetLedColor: 10 all, 2 green (standby), 0 remote; keeps steady/blinking"},
        {"led", "init", "", returns_status<&HalApi::Init>(),
         "HAL_FrontPanelInit: replay the saved request"},
        {"led", "deinit", "", returns_status<&HalApi::Deinit>(), "HAL_FrontPanelDeinit"},
        {"led", "version", "", returns_status<&HalApi::GetVersion>(),
         "HAL_FrontPanelGetVersion (logs it)"},
        {"led", "volume", "VOLUME", returns_status<&HalApi::SetLedStateForVolume>(),
         "HAL_FrontPanelSetLedStateForVolume (accepted and ignored)"},
        {"led", "beamforming", "DEGREE", returns_status<&HalApi::SetBeamformingDegree>(),
         "HAL_FrontPanelSetBeamformingDegree (accepted and ignored)"},
        {"props", "", "",
         library_call(kNoArguments,
                      [](Halctl& halctl, const HalApi& hal, const Integers&) {
                          hal.GetProperty();
                          return halctl.print_properties();
                      }),
         "get_property, then print the saved LED request and the recorded patch state"},
        {"props", "save", "INDEX STATE COLOR", returns_status<&HalApi::SaveProperty>(),
         "save_property: save an LED triple"},
        {"mic", "version", "", returns_status<&HalApi::MicGetVersion>(),
         "HAL_MicGetVersion (logs it)"},
        {"mic", "init", "", returns_status<&HalApi::MicInit>(), "HAL_MicInit"},
        {"mic", "deinit", "", returns_status<&HalApi::MicDeinit>(), "HAL_MicDeinit"},
        {"mic", "on", "", returns_status_with<&HalApi::MicSetOnOff, kMicUnmuted>(),
         "HAL_MicSetOnOff(0): unmute, create the patch"},
        {"mic", "off", "", returns_status_with<&HalApi::MicSetOnOff, kMicMuted>(),
         "HAL_MicSetOnOff(1): mute, release the patch"},
        {"mic", "onoff", "OFF", returns_status<&HalApi::MicSetOnOff>(),
         "HAL_MicSetOnOff(OFF): any non-zero value mutes"},
        {"mic", "get-onoff", "", prints_value<&HalApi::MicGetOnOff>(), "HAL_MicGetOnOff, printed"},
        {"mic", "echo", "LEVEL", returns_status<&HalApi::MicSetEchoLevel>(),
         "HAL_MicSetEchoLevel: 0..100, sent to the audio port as the echo-decay weight"},
        {"mic", "get-echo", "", prints_value<&HalApi::MicGetEchoLevel>(),
         "HAL_MicGetEchoLevel, printed"},
        {"mic", "echo-max", "", prints_value<&HalApi::MicGetEchoMaxLevel>(),
         "HAL_MicGetEchoMaxLevel, printed"},
        {"mic", "volume", "VOLUME", returns_status<&HalApi::MicSetVolume>(),
         "HAL_MicSetVolume: 0..100, written to the ADC as 12 + VOLUME / 5"},
        {"mic", "get-volume", "", prints_value<&HalApi::MicGetVolume>(),
         "HAL_MicGetVolume, printed"},
        {"mic", "pause", "", returns_status<&HalApi::MicPause>(), "HAL_MicPause"},
        {"mic", "resume", "", returns_status<&HalApi::MicResume>(), "HAL_MicResume"},
        {"patch", "enable", "", returns_status<&HalApi::EnableMicAudioPatch>(),
         "android::enableMicAudioPatch: create the patch, record \"1\""},
        {"patch", "disable", "", returns_status<&HalApi::DisableMicAudioPatch>(),
         "android::disableMicAudioPatch: release a recorded patch, record \"0\""},
        {"patch", "status", "", prints_value<&HalApi::IsMicAudioPatchEnabled>(),
         "android::isMicAudioPatchEnabled, printed as enabled or disabled"},
        {"patch", "enable-mic", "", returns_status<&HalApi::EnableMIC>(),
         "enableMIC: create the patch unless one is recorded"},
        {"patch", "disable-mic", "", returns_status<&HalApi::DisableMIC>(), "disableMIC"},
        {"patch", "echo-weight", "WEIGHT", returns_status<&HalApi::SetEchoDecayWeight>(),
         "setEchoDecayWeight: send audio_echo_decay=WEIGHT to the port (unclamped)"},
        {"", "show", "",
         own_call(kNoArguments, [](Halctl& halctl, const Command&) { return halctl.show(); }),
         "draw the LEDs, the ADC, the patch state and the saved request"},
        {"", "restart", "",
         own_call(kNoArguments, [](Halctl& halctl, const Command&) { return halctl.restart(); }),
         "unload and reload the library, as a process restart would"},
        {"", "reboot", "",
         own_call(kNoArguments, [](Halctl& halctl, const Command&) { return halctl.reboot(); }),
         "simulated device only: unload the library and drop every property not named "
         "persist.*, as a device reboot would"},
        {"", "run", "FILE",
         own_call(kFileName,
                  [](Halctl& halctl, const Command& command) { return halctl.run(command.file); }),
         "run a script (FILE, or - for standard input): one command a line, # comments"},
        {"", "doctor", "[--json]",
         own_call(kJsonFlag, [](Halctl& halctl,
                                const Command& command) { return halctl.doctor(command.json); }),
         "check what the library needs from the device (attributes, SELinux, properties, "
         "libraries) without calling it; exit 1 when anything fails"},
};

const char* const kGroups[] = {"led", "mic", "patch", "props"};

constexpr const char* kJsonOption = "--json";
constexpr const char* kUsagePrefix = "halctl ";
// In --help, the usage column is this wide; a longer usage puts its summary on the next line.
constexpr size_t kHelpIndent = 2;
constexpr size_t kHelpUsageWidth = 28;

bool is_group(const std::string& word) {
    for (const char* group : kGroups) {
        if (word == group) return true;
    }
    return false;
}

const CommandDef* find(const std::string& group, const std::string& name) {
    for (const CommandDef& def : kCommands) {
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

// "led state INDEX STATE": the command and its parameters.
std::string command_usage(const CommandDef& def) {
    std::string usage = command_name(def);
    if (def.params[0] != '\0') usage += std::string(" ") + def.params;
    return usage;
}

ParseResult failure(std::string error, std::string usage) {
    ParseResult result;
    result.error = std::move(error);
    result.usage = std::move(usage);
    return result;
}

ParseResult accepted(Command command) {
    ParseResult result;
    result.ok = true;
    result.command = std::move(command);
    return result;
}

// The command the words name: a group and its command word, or a command of its own. An unknown
// command word after a group is kept as the name, for the error to quote.
struct NameWords {
    std::string group;
    std::string name;
    size_t arguments_at = 1;  // the first word after the name
};

NameWords resolve_name(const std::vector<std::string>& words) {
    NameWords named;
    named.name = words[0];
    if (!is_group(words[0])) return named;
    named.group = words[0];
    const bool has_word = words.size() > 1;
    named.name = has_word && find(named.group, words[1]) != nullptr ? words[1] : "";
    if (named.name.empty() && has_word && !is_help(words[1]) && find(named.group, "") == nullptr) {
        named.name = words[1];
    }
    named.arguments_at = named.name.empty() ? 1 : 2;
    return named;
}

// --help anywhere on a command line: the help of the command named, or of its group.
ParseResult help_for(const NameWords& named) {
    const CommandDef* def = find(named.group, named.name);
    ParseResult result;
    result.help = true;
    result.usage = help_text(def != nullptr && (def->name[0] != '\0' || named.group.empty())
                                     ? command_name(*def)
                                     : named.group);
    return result;
}

ParseResult unknown(const NameWords& named) {
    const std::string& group = named.group;
    if (!group.empty() && named.name.empty()) {
        return failure(quoted(group) + " needs a command", kUsagePrefix + group + " --help");
    }
    if (!group.empty()) {
        return failure("unknown " + group + " command " + quoted(named.name),
                       kUsagePrefix + group + " --help lists them");
    }
    return failure("unknown command " + quoted(named.name), "halctl --help lists the commands");
}

std::string count_of_arguments(int count) {
    if (count == 0) return "takes no arguments";
    return "takes " + std::to_string(count) + (count == 1 ? " argument" : " arguments");
}

// The words after the name, against what the command takes.
ParseResult check_arguments(const CommandDef& def, const std::vector<std::string>& rest) {
    Command command;
    command.def = &def;
    switch (def.call.arguments.kind) {
        case ArgumentKind::kFile:
            if (rest.size() != 1) {
                return failure(command_name(def) + " takes one file name, got " +
                                       std::to_string(rest.size()) + " arguments",
                               usage_line(def));
            }
            command.file = rest[0];
            return accepted(command);
        case ArgumentKind::kJsonFlag:
            if (rest.size() > 1 || (rest.size() == 1 && rest[0] != kJsonOption)) {
                return failure("doctor takes only --json, got " + quoted(rest.back()),
                               usage_line(def));
            }
            command.json = !rest.empty();
            return accepted(command);
        case ArgumentKind::kIntegers:
            break;
    }
    if (rest.size() != static_cast<size_t>(def.call.arguments.integers)) {
        return failure(command_name(def) + " " + count_of_arguments(def.call.arguments.integers) +
                               ", got " + std::to_string(rest.size()),
                       usage_line(def));
    }
    const std::vector<std::string> params = split_params(def.params);
    for (size_t i = 0; i < rest.size(); ++i) {
        if (!parse_strict_decimal(rest[i], &command.args[i])) {
            return failure(command_name(def) + ": " + params[i] +
                                   " must be a decimal integer in the signed 32-bit range, got " +
                                   quoted(rest[i]),
                           usage_line(def));
        }
    }
    return accepted(command);
}

}  // namespace

int print_value(int value) {
    printf("%d\n", value);
    return kExitOk;
}

int print_enabled(bool enabled) {
    puts(enabled ? "enabled" : "disabled");
    return kExitOk;
}

std::string command_name(const CommandDef& def) {
    std::string name = def.group;
    if (!name.empty() && def.name[0] != '\0') name += ' ';
    return name + def.name;
}

bool changes_device(const CommandDef& def) {
    if (def.call.library == nullptr || std::strcmp(def.group, "props") == 0) return false;
    // The getters: each only reads what the library or the device holds.
    for (const char* reader :
         {"version", "get-onoff", "get-echo", "echo-max", "get-volume", "status"}) {
        if (std::strcmp(def.name, reader) == 0) return false;
    }
    return true;
}

std::string usage_line(const CommandDef& def) {
    return kUsagePrefix + command_usage(def);
}

ParseResult parse_command(const std::vector<std::string>& words, bool in_script) {
    if (words.empty()) return failure("no command given", "halctl --help lists the commands");
    const NameWords named = resolve_name(words);
    if (!in_script) {
        for (const std::string& word : words) {
            if (is_help(word)) return help_for(named);
        }
    }
    const CommandDef* def = find(named.group, named.name);
    if (def == nullptr) return unknown(named);
    if (in_script && def->call.arguments.kind == ArgumentKind::kFile) {
        return failure("run cannot be used inside a script", usage_line(*def));
    }
    return check_arguments(*def,
                           {words.begin() + static_cast<long>(named.arguments_at), words.end()});
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
    for (const CommandDef& def : kCommands) {
        const std::string name = command_name(def);
        if (!topic.empty() && topic != name && topic != def.group) continue;
        any = true;
        const std::string usage = command_usage(def);
        out << std::string(kHelpIndent, ' ') << usage;
        if (usage.size() < kHelpUsageWidth) {
            out << std::string(kHelpUsageWidth - usage.size(), ' ');
        } else {
            out << "\n" << std::string(kHelpIndent + kHelpUsageWidth, ' ');
        }
        out << def.summary << "\n";
    }
    if (!any) out << "no help for \"" << topic << "\"\n";
    return out.str();
}
