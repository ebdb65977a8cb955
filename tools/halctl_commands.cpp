// SPDX-License-Identifier: Apache-2.0
#include "halctl_commands.h"

#include <cstdio>
#include <cstring>
#include <sstream>
#include <utility>

#include "strict_decimal.h"
#include "text_escape.h"

namespace {

// An entry point called with the command's integers, one for each of its parameters: its status,
// or its value printed. One overload for each shape of entry point in the interface.
int call(int (*entry)(), const Integers& /*args*/) {
    return status_of(entry());
}
int call(int (*entry)(int), const Integers& args) {
    return status_of(entry(args[0]));
}
int call(int (*entry)(int, int), const Integers& args) {
    return status_of(entry(args[0], args[1]));
}
int call(void (*entry)(), const Integers& /*args*/) {
    entry();
    return kExitOk;
}
int call(void (*entry)(int), const Integers& args) {
    entry(args[0]);
    return kExitOk;
}
int call(void (*entry)(int, int, int), const Integers& args) {
    entry(args[0], args[1], args[2]);
    return kExitOk;
}
int print(int (*getter)()) {
    return print_value(getter());
}
int print(bool (*getter)()) {
    return print_enabled(getter());
}

template <typename Result, typename... Params>
constexpr int parameters_of(Result (* /*entry*/)(Params...)) {
    return sizeof...(Params);
}

constexpr int words_in(const char* text) {
    int words = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c != ' ' && (c == text || c[-1] == ' ')) ++words;
    }
    return words;
}

// A getter's command prints what it returns; any other's exit status is the entry point's.
#define QUORIN_HAL_CALL_kChangesDevice(member) call(hal.member, args)
#define QUORIN_HAL_CALL_kLeavesDevice(member) call(hal.member, args)
#define QUORIN_HAL_CALL_kPrintsProperties(member) call(hal.member, args)
#define QUORIN_HAL_CALL_kPrintsResult(member) print(hal.member)

#define QUORIN_HAL_ENTRY_POINT(member, function, symbol, use, group, word, params, summary) \
    static_assert(parameters_of(&(function)) == words_in(params),                           \
                  #function ": its usage names one word for each parameter");
#define QUORIN_HAL_DATA(member, object, symbol)
#include "entry_points.def"

// The command of each entry point, in the interface's order.
constexpr CommandDef kEntryPointCommands[] = {
#define QUORIN_HAL_ENTRY_POINT(member, function, symbol, use, group, word, params, summary) \
    {group,                                                                                 \
     word,                                                                                  \
     params,                                                                                \
     integers(words_in(params)),                                                            \
     CommandUse::use,                                                                       \
     [](const HalApi& hal, [[maybe_unused]] const Integers& args) {                         \
         return QUORIN_HAL_CALL_##use(member);                                              \
     },                                                                                     \
     HalctlWork::kNone,                                                                     \
     #function,                                                                             \
     summary},
#define QUORIN_HAL_DATA(member, object, symbol)
#include "entry_points.def"
};

// HAL_MicSetOnOff's argument: non-zero mutes.
constexpr int kMicUnmuted = 0;
constexpr int kMicMuted = 1;

// Commands that call an entry point with a fixed argument, listed just before the entry point's
// own command.
struct FixedArgumentCommand {
    const char* before;  // the word of the entry point's own command
    CommandDef def;
};
constexpr FixedArgumentCommand kFixedArgumentCommands[] = {
        {"onoff",
         {"mic", "on", "", kNoArguments, CommandUse::kChangesDevice,
          [](const HalApi& hal, const Integers&) { return status_of(hal.MicSetOnOff(kMicUnmuted)); },
          HalctlWork::kNone, "HAL_MicSetOnOff(0)", ": unmute, create the patch"}},
        {"onoff",
         {"mic", "off", "", kNoArguments, CommandUse::kChangesDevice,
          [](const HalApi& hal, const Integers&) { return status_of(hal.MicSetOnOff(kMicMuted)); },
          HalctlWork::kNone, "HAL_MicSetOnOff(1)", ": mute, release the patch"}},
};

constexpr CommandDef own(const char* name, const char* params, Arguments arguments, HalctlWork work,
                         const char* summary) {
    return {"", name, params, arguments, CommandUse::kHalctl, nullptr, work, "", summary};
}

constexpr CommandDef kHalctlCommands[] = {
        own("show", "", kNoArguments, HalctlWork::kShow,
            "draw the LEDs, the ADC, the patch state and the saved request"),
        own("restart", "", kNoArguments, HalctlWork::kRestart,
            "unload and reload the library, as a process restart would"),
        own("reboot", "", kNoArguments, HalctlWork::kReboot,
            "simulated device only: unload the library and drop every property not named "
            "persist.*, as a device reboot would"),
        own("run", "FILE", kFileName, HalctlWork::kRun,
            "run a script (FILE, or - for standard input): one command a line, # comments"),
        own("doctor", "[--json]", kJsonFlag, HalctlWork::kDoctor,
            "check what the library needs from the device (attributes, SELinux, properties, "
            "libraries) without calling it; exit 1 when anything fails"),
};

std::vector<const CommandDef*> list_commands() {
    std::vector<const CommandDef*> listed;
    for (const CommandDef& def : kEntryPointCommands) {
        for (const FixedArgumentCommand& fixed : kFixedArgumentCommands) {
            if (std::strcmp(fixed.def.group, def.group) == 0 &&
                std::strcmp(fixed.before, def.name) == 0) {
                listed.push_back(&fixed.def);
            }
        }
        listed.push_back(&def);
    }
    for (const CommandDef& def : kHalctlCommands) listed.push_back(&def);
    return listed;
}

constexpr const char* kJsonOption = "--json";
constexpr const char* kUsagePrefix = "halctl ";
// In --help, the usage column is this wide; a longer usage puts its summary on the next line.
constexpr size_t kHelpIndent = 2;
constexpr size_t kHelpUsageWidth = 28;

// The groups are those of the library's commands.
bool is_group(const std::string& word) {
    for (const CommandDef* def : commands()) {
        if (def->group[0] != '\0' && word == def->group) return true;
    }
    return false;
}

const CommandDef* find(const std::string& group, const std::string& name) {
    for (const CommandDef* def : commands()) {
        if (group == def->group && name == def->name) return def;
    }
    return nullptr;
}

bool is_help(const std::string& word) {
    return word == "--help" || word == "-h";
}

// A word as it was given, in a message: escaped, and at most this much of it, so that what is
// echoed can neither drive the terminal nor flood it.
constexpr size_t kEchoedBytes = 64;

std::string quoted(const std::string& text) {
    return "\"" + printable_excerpt(text, kEchoedBytes) + "\"";
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
    switch (def.arguments.kind) {
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
    if (rest.size() != static_cast<size_t>(def.arguments.integers)) {
        return failure(command_name(def) + " " + count_of_arguments(def.arguments.integers) +
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

const std::vector<const CommandDef*>& commands() {
    static const std::vector<const CommandDef*> listed = list_commands();
    return listed;
}

bool changes_device(const CommandDef& def) {
    return def.use == CommandUse::kChangesDevice;
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
    if (in_script && def->arguments.kind == ArgumentKind::kFile) {
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
        out << "usage: halctl [-vx] [--lib=PATH] [--color=auto|always|never] [--force] [--] "
               "COMMAND "
               "[ARGS]\n"
               "\n"
               "Drives the Quorin hardware-support library (libquorin_hal.so) through its\n"
               "entry points. Exits 0 when the entry point returned 0, 1 when it returned -1\n"
               "(and when doctor found a fault), 2 for a command line that is not understood or\n"
               "a command refused (nothing is called then), 3 when the library cannot be loaded\n"
               "or lets an exception through, 4 when the output cannot be written.\n"
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
               "  --force        load the library and call it even where its hosting service\n"
               "                 (vendor.quorin.hal) is registered; without it the LED and\n"
               "                 microphone requests go through the service and other changes\n"
               "                 are refused while it runs\n"
               "  --version      print halctl's version\n"
               "  --             ends the options\n"
               "\n"
               "commands:\n";
    }
    bool any = false;
    for (const CommandDef* listed : commands()) {
        const CommandDef& def = *listed;
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
        out << def.function << def.summary << "\n";
    }
    if (!any) out << "no help for " << quoted(topic) << "\n";
    return out.str();
}
