// SPDX-License-Identifier: Apache-2.0
// halctl's option forms (getopt_long), its strict decimal arguments and the doctor's command line.
#include "halctl_options.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "halctl_commands.h"
#include "strict_decimal.h"

namespace {

OptionsResult parse(std::vector<std::string> words) {
    words.insert(words.begin(), "halctl");
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    return parse_options(static_cast<int>(words.size()), argv.data());
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

using Outcome = OptionsResult::Outcome;

// What parse_options gives for one command line: a command with every option at its default
// unless a row says otherwise.
struct Expected {
    Outcome outcome = Outcome::kCommand;
    std::string words;
    bool verbose = false;
    bool trace = false;
    std::string library;
    Options::Colour colour = Options::Colour::kAuto;
    bool force = false;

    Expected with_force() const {
        Expected changed = *this;
        changed.force = true;
        return changed;
    }
    Expected with_verbose() const {
        Expected changed = *this;
        changed.verbose = true;
        return changed;
    }
    Expected with_trace() const {
        Expected changed = *this;
        changed.trace = true;
        return changed;
    }
    Expected with_library(const char* path) const {
        Expected changed = *this;
        changed.library = path;
        return changed;
    }
    Expected with_colour(Options::Colour colour_choice) const {
        Expected changed = *this;
        changed.colour = colour_choice;
        return changed;
    }
};

Expected command(const char* words) {
    Expected expected;
    expected.words = words;
    return expected;
}

Expected outcome(Outcome kind) {
    Expected expected;
    expected.outcome = kind;
    return expected;
}

TEST(HalctlOptions, Forms) {
    const struct {
        std::vector<std::string> argv;
        Expected expected;
    } cases[] = {
            {{"led", "init"}, command("led init")},
            {{"-vx", "run", "-"}, command("run -").with_verbose().with_trace()},
            {{"-xv", "show"}, command("show").with_verbose().with_trace()},
            {{"-v", "-x", "show"}, command("show").with_verbose().with_trace()},
            {{"--verbose", "show"}, command("show").with_verbose()},
            {{"--lib=/a/lib.so", "led", "init"}, command("led init").with_library("/a/lib.so")},
            {{"--lib", "/b/lib.so", "led", "init"}, command("led init").with_library("/b/lib.so")},
            {{"--color=never", "show"}, command("show").with_colour(Options::Colour::kNever)},
            {{"--color", "always", "show"}, command("show").with_colour(Options::Colour::kAlways)},
            // Options end at the command: its arguments may look like options.
            {{"led", "state", "0", "-1"}, command("led state 0 -1")},
            {{"-v", "--", "led", "state", "0", "-1"}, command("led state 0 -1").with_verbose()},
            {{"--", "-x"}, command("-x")},
            {{"led", "-v"}, command("led -v")},
            {{"doctor", "--json"}, command("doctor --json")},
            {{}, command("")},
            {{"--help"}, outcome(Outcome::kHelp)},
            {{"-vh", "led"}, outcome(Outcome::kHelp).with_verbose()},
            {{"--version"}, outcome(Outcome::kVersion)},
            {{"--force", "led", "state", "0", "1"}, command("led state 0 1").with_force()},
            {{"-v", "--force", "--", "mic", "on"}, command("mic on").with_verbose().with_force()},
            {{"led", "state", "--force"}, command("led state --force")},
    };
    for (const auto& c : cases) {
        const OptionsResult result = parse(c.argv);
        SCOPED_TRACE(joined(c.argv));
        EXPECT_EQ(c.expected.outcome, result.outcome) << result.error;
        EXPECT_EQ(c.expected.verbose, result.options.verbose);
        EXPECT_EQ(c.expected.trace, result.options.trace);
        EXPECT_EQ(c.expected.library, result.options.library);
        EXPECT_EQ(c.expected.colour, result.options.colour);
        EXPECT_EQ(c.expected.force, result.options.force);
        EXPECT_EQ(c.expected.words, joined(result.words));
    }
}

TEST(HalctlOptions, RefusedFormsAreNamed) {
    const struct {
        std::vector<std::string> argv;
        std::string error;
        const char* usage;
    } cases[] = {
            {{"--nonsense", "led", "init"}, "unknown option \"--nonsense\"", "halctl --help"},
            {{"-vq", "led", "init"}, "unknown option \"-q\"", "halctl --help"},
            {{"-qv", "led", "init"}, "unknown option \"-q\"", "halctl --help"},
            {{"--lib"}, "--lib needs a path", "halctl --lib PATH ..."},
            {{"--lib="}, "--lib needs a path", "halctl --lib PATH ..."},
            {{"--color"},
             "--color needs auto, always or never",
             "halctl --color=auto|always|never COMMAND"},
            {{"--color=sometimes", "show"},
             "--color takes auto, always or never, got \"sometimes\"",
             "halctl --color=auto|always|never COMMAND"},
            {{"--version=2"}, "option \"--version\" takes no argument", "halctl --help"},
            {{"--verbose=yes", "show"}, "option \"--verbose\" takes no argument", "halctl --help"},
            {{"--force=1", "show"}, "option \"--force\" takes no argument", "halctl --help"},
            // What was handed over is echoed escaped, and only so much of it.
            {{"--color=\x1b[2J\xc2\x9b"},
             "--color takes auto, always or never, got \"\\x1b[2J\\xc2\\x9b\"",
             "halctl --color=auto|always|never COMMAND"},
            {{"--\x07" + std::string(200, 'z')},
             "unknown option \"--\\x07" + std::string(61, 'z') + "... (203 bytes)\"",
             "halctl --help"},
    };
    for (const auto& c : cases) {
        const OptionsResult result = parse(c.argv);
        SCOPED_TRACE(joined(c.argv));
        EXPECT_EQ(Outcome::kError, result.outcome);
        EXPECT_EQ(c.error, result.error);
        EXPECT_EQ(c.usage, result.usage);
    }
}

TEST(HalctlOptions, ParsesAfreshEachTime) {
    EXPECT_EQ(Outcome::kError, parse({"-vq"}).outcome);
    const OptionsResult again = parse({"-x", "show"});
    EXPECT_EQ(Outcome::kCommand, again.outcome);
    EXPECT_FALSE(again.options.verbose);
    EXPECT_EQ("show", joined(again.words));
}

TEST(HalctlStrictDecimal, AcceptsOnlyPlainSignedDecimalInRange) {
    const struct {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
            {"0", true, 0},
            {"-0", true, 0},
            {"57", true, 57},
            {"007", true, 7},
            {"-1", true, -1},
            {"2147483647", true, INT_MAX},
            {"-2147483648", true, INT_MIN},
            {"2147483648", false, 0},
            {"-2147483649", false, 0},
            {"99999999999999999999", false, 0},
            {"+1", false, 0},
            {" 1", false, 0},
            {"1 ", false, 0},
            {"0x10", false, 0},
            {"1e3", false, 0},
            {"1.5", false, 0},
            {"-", false, 0},
            {"", false, 0},
            {"--1", false, 0},
    };
    for (const auto& c : cases) {
        int value = 12345;
        EXPECT_EQ(c.ok, parse_strict_decimal(c.text, &value)) << "\"" << c.text << "\"";
        EXPECT_EQ(c.ok ? c.value : 12345, value) << "\"" << c.text << "\"";
    }
}

TEST(HalctlCommands, DoctorTakesOnlyItsJsonFlag) {
    const ParseResult plain = parse_command({"doctor"}, false);
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ("doctor", command_name(*plain.command.def));
    EXPECT_FALSE(plain.command.json);
    const ParseResult json = parse_command({"doctor", "--json"}, false);
    ASSERT_TRUE(json.ok);
    EXPECT_TRUE(json.command.json);
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"doctor", "--xml"},
                                                {"doctor", "--json", "--json"},
                                                {"doctor", "1"}}) {
        const ParseResult result = parse_command(bad, false);
        EXPECT_FALSE(result.ok) << joined(bad);
        EXPECT_EQ("halctl doctor [--json]", result.usage);
        EXPECT_EQ("doctor takes only --json, got \"" + bad.back() + "\"", result.error);
    }
    const ScriptResult script = parse_script("doctor --json\nled state 0 1\n");
    ASSERT_TRUE(script.ok);
    EXPECT_TRUE(script.commands[0].json);
}

// Every command listed by --help takes exactly the integers its usage names: one for each
// parameter of the entry point it calls.
TEST(HalctlCommands, EveryListedCommandTakesTheIntegersItsUsageNames) {
    std::istringstream help(help_text(""));
    int checked = 0;
    for (std::string line; std::getline(help, line);) {
        const size_t at = line.find("  ");
        if (line.rfind("  ", 0) != 0 || line.size() < 3 || line[2] == ' ' || line[2] == '-') {
            continue;
        }
        std::istringstream in(line.substr(at + 2, line.find("  ", at + 2) - at - 2));
        std::vector<std::string> words;
        bool integers = true;
        for (std::string word; in >> word;) {
            const bool param =
                    word.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos;
            if (param && word != "FILE") {
                words.push_back("-7");
            } else if (word == "FILE" || word[0] == '[') {
                integers = false;
            } else {
                words.push_back(word);
            }
        }
        if (!integers) continue;
        ++checked;
        EXPECT_TRUE(parse_command(words, false).ok) << line;
        EXPECT_TRUE(parse_command(words, true).ok) << line;
        words.emplace_back("1");
        EXPECT_FALSE(parse_command(words, false).ok) << line;
    }
    int taking_integers = 0;  // all but run and doctor
    for (const CommandDef* def : commands()) {
        if (def->arguments.kind == ArgumentKind::kIntegers) ++taking_integers;
    }
    EXPECT_EQ(taking_integers, checked);
}

}  // namespace

namespace {

// --help word for word, as halctl printed it before its rows were expanded from the interface's
// list: the order, the usage column and every summary.
TEST(HalctlCommands, HelpIsAsPinned) {
    std::ifstream pinned(QUORIN_SOURCE_DIR "/tests/golden/halctl_help.txt");
    ASSERT_TRUE(pinned.is_open());
    const std::string expected{std::istreambuf_iterator<char>(pinned),
                               std::istreambuf_iterator<char>()};
    EXPECT_EQ(expected, help_text(""));
}

}  // namespace
