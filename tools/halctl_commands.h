// halctl's commands: the table of what can be asked, and the strict parser of command lines and
// scripts. Parsing calls nothing in the library.
#pragma once

#include <array>
#include <string>
#include <vector>

enum class Action {
    kLedState,
    kLedColor,
    kLedInit,
    kLedDeinit,
    kLedVersion,
    kLedVolume,
    kLedBeamforming,
    kPropsGet,
    kPropsSave,
    kMicVersion,
    kMicInit,
    kMicDeinit,
    kMicOn,
    kMicOff,
    kMicSetOnOff,
    kMicGetOnOff,
    kMicEcho,
    kMicGetEcho,
    kMicEchoMax,
    kMicVolume,
    kMicGetVolume,
    kMicPause,
    kMicResume,
    kPatchEnable,
    kPatchDisable,
    kPatchStatus,
    kPatchEnableMic,
    kPatchDisableMic,
    kPatchEchoWeight,
    kShow,
    kRestart,
    kReboot,
    kRun,
    kDoctor,
};

struct CommandDef {
    const char* group;   // "led", "mic", "patch", "props"; "" for a command of its own
    const char* name;    // the word after the group; "" for the group alone
    const char* params;  // parameter names for the usage line, "" for none
    int arg_count;       // integer arguments (run takes one file name, doctor its --json flag)
    Action action;
    const char* summary;
};

// "led state" or "show": how a command is named.
std::string command_name(const CommandDef& def);
std::string usage_line(const CommandDef& def);

struct Command {
    const CommandDef* def = nullptr;
    std::array<int, 3> args{};
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
