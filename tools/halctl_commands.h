// SPDX-License-Identifier: Apache-2.0
// halctl's commands: the table of what can be asked, each row with its call, and the strict
// parser of command lines and scripts. Parsing calls nothing in the library.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "hal_api.h"

// halctl's exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitMinusOne = 1;  // the entry point returned -1 (or the doctor found a fault)
constexpr int kExitUsage = 2;     // not understood: nothing was called
constexpr int kExitRefused = 2;   // refused (reboot on a device, a change beside the hosting
                                  // service): nothing was called
constexpr int kExitFailure = 3;   // the library could not be loaded or let an exception through
constexpr int kExitOutput = 4;    // what was to be printed could not be written

// An entry point's status as an exit status.
constexpr int status_of(int result) {
    return result == -1 ? kExitMinusOne : kExitOk;
}
// A getter's value, printed.
int print_value(int value);
// A yes-or-no getter's value, printed.
int print_enabled(bool enabled);

// What follows a command's name: decimal integers, one file name (run), or the doctor's --json.
enum class ArgumentKind { kIntegers, kFile, kJsonFlag };
struct Arguments {
    ArgumentKind kind;
    int integers;  // how many, for kIntegers
};

constexpr int kMostIntegers = 3;
using Integers = std::array<int, kMostIntegers>;

constexpr Arguments integers(int count) {
    return {ArgumentKind::kIntegers, count};
}
constexpr Arguments kNoArguments = integers(0);
constexpr Arguments kFileName = {ArgumentKind::kFile, 0};
constexpr Arguments kJsonFlag = {ArgumentKind::kJsonFlag, 0};

// What a command does with the library, as entry_points.def says; halctl's own commands load
// nothing and are told apart by their work.
enum class CommandUse {
    kChangesDevice,     // the panel, the microphone or the audio patch
    kLeavesDevice,      // nothing on the device: a version line, the properties saved
    kPrintsResult,      // a getter: its value printed
    kPrintsProperties,  // then the saved request and the patch state printed
    kHalctl,            // halctl's own work
};
enum class HalctlWork { kNone, kShow, kRestart, kReboot, kRun, kDoctor };

// An entry point called with the command's integers: the command's exit status. An exception the
// library lets through reaches the caller.
using LibraryCall = int (*)(const HalApi& hal, const Integers& args);

struct CommandDef {
    const char* group;   // "led", "mic", "patch", "props"; "" for a command of its own
    const char* name;    // the word after the group; "" for the group alone
    const char* params;  // parameter names for the usage line, "" for none
    Arguments arguments;
    CommandUse use;
    LibraryCall library;   // null for halctl's own
    HalctlWork work;       // kNone for a library call
    const char* function;  // the entry point's name, which --help's summary starts with
    const char* summary;
};

// Every command, in the order --help lists them.
const std::vector<const CommandDef*>& commands();

// "led state" or "show": how a command is named.
std::string command_name(const CommandDef& def);
// Whether the command's call changes the panel, the microphone or the audio patch (not a getter,
// not the properties' reading and saving, not halctl's own).
bool changes_device(const CommandDef& def);
std::string usage_line(const CommandDef& def);

struct Command {
    const CommandDef* def = nullptr;
    Integers args{};
    std::string file;   // for run
    bool json = false;  // for doctor: --json
    int line = 0;       // in a script; 0 on the command line
    std::string text;   // the script line as written, comment included
};

struct ParseResult {
    bool ok = false;
    Command command;
    std::string error;  // what was wrong, one line
    std::string usage;  // a usage hint for the error, or the help text asked for
    bool help = false;  // --help was asked for; `usage` holds the help text
};

// Parses the words of one command (after halctl's options). In a script, `run` and --help are
// not commands.
ParseResult parse_command(const std::vector<std::string>& words, bool in_script);

struct ScriptResult {
    bool ok = false;
    std::vector<Command> commands;
    std::string error;  // "line N: ..." for the first bad line
    std::string usage;
};

// Parses a whole script: one command a line, '#' starts a comment, blank lines are skipped.
// Either every line parses, or nothing is returned to run.
ScriptResult parse_script(const std::string& text);

// The help text for everything, or for a group ("led") or command ("led state").
std::string help_text(const std::string& topic);
