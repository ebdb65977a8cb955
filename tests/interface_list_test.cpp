// SPDX-License-Identifier: Apache-2.0
// The interface's list against what states the interface elsewhere: the public header declares
// exactly the listed functions and object, and every entry point has its halctl command. A new
// entry point left out of the list, or listed without its declaration, is named here.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "halctl_commands.h"

namespace {

const std::set<std::string> kListed = {
#define QUORIN_HAL_ENTRY_POINT(member, function, ...) #function,
#define QUORIN_HAL_DATA(member, object, symbol) #object,
#include "entry_points.def"
};

// The exported names of the public header, qualified with the namespace they are declared in.
std::set<std::string> header_declarations() {
    std::ifstream header(QUORIN_SOURCE_DIR "/include/quorin_hal.h");
    EXPECT_TRUE(header.is_open());
    const std::regex declared(R"(^\s*QUORIN_HAL_EXPORT\b.*?(\w+)\s*(\(|;))");
    const std::regex opens(R"(^namespace (\w+) \{)");
    std::string scope;
    std::set<std::string> names;
    std::smatch match;
    for (std::string line; std::getline(header, line);) {
        if (std::regex_search(line, match, opens)) scope = match[1].str() + "::";
        if (line.rfind("}  // namespace", 0) == 0) scope.clear();
        if (std::regex_search(line, match, declared)) names.insert(scope + match[1].str());
    }
    return names;
}

TEST(InterfaceList, NamesExactlyWhatTheHeaderExports) {
    const std::set<std::string> declared = header_declarations();
    for (const std::string& name : declared) {
        EXPECT_TRUE(kListed.count(name)) << name << " is exported by quorin_hal.h but not listed "
                                         << "in interface/entry_points.def";
    }
    for (const std::string& name : kListed) {
        EXPECT_TRUE(declared.count(name))
                << name << " is listed in interface/entry_points.def but quorin_hal.h does not "
                << "declare it with QUORIN_HAL_EXPORT";
    }
}

struct ListedCommand {
    const char* function;
    std::string name;     // "led state"
    std::string line;     // the command with a value for each parameter
    std::string summary;  // what --help says of it
};

std::string named(const char* group, const char* word) {
    return std::string(group) + (word[0] != '\0' ? " " : "") + word;
}

std::string with_values(const char* group, const char* word, const char* params) {
    std::string line = named(group, word);
    std::istringstream in(params);
    for (std::string param; in >> param;) line += " 7";
    return line;
}

const ListedCommand kListedCommands[] = {
#define QUORIN_HAL_ENTRY_POINT(member, function, symbol, use, group, word, params, summary) \
    {#function, named(group, word), with_values(group, word, params), #function summary},
#define QUORIN_HAL_DATA(member, object, symbol)
#include "entry_points.def"
};

// Each entry point's own command reaches it, and --help lists it under the entry point's name.
TEST(InterfaceList, EveryEntryPointHasItsCommand) {
    std::set<std::string> lines;
    for (const ListedCommand& listed : kListedCommands) {
        SCOPED_TRACE(listed.line);
        EXPECT_TRUE(lines.insert(listed.line).second) << "two entry points share the command";
        std::vector<std::string> words;
        std::istringstream in(listed.line);
        for (std::string word; in >> word;) words.push_back(word);
        const ParseResult parsed = parse_command(words, false);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        EXPECT_STREQ(listed.function, parsed.command.def->function);
        EXPECT_NE(parsed.command.def->library, nullptr);
        EXPECT_NE(help_text(listed.name).find(" " + listed.summary + "\n"), std::string::npos)
                << help_text(listed.name);
    }
}

// The commands that call HAL_MicSetOnOff with a fixed argument stay listed, just before its own.
TEST(InterfaceList, FixedArgumentCommandsComeBeforeTheirEntryPointsOwn) {
    const std::string help = help_text("mic");
    const size_t on = help.find("  mic on  ");
    const size_t off = help.find("  mic off  ");
    const size_t onoff = help.find("  mic onoff OFF");
    ASSERT_NE(on, std::string::npos) << help;
    ASSERT_NE(off, std::string::npos) << help;
    ASSERT_NE(onoff, std::string::npos) << help;
    EXPECT_LT(on, off);
    EXPECT_LT(off, onoff);
    for (const auto& [line, function] :
         {std::pair<std::string, std::string>{"on", "HAL_MicSetOnOff(0)"},
          {"off", "HAL_MicSetOnOff(1)"}}) {
        const ParseResult parsed = parse_command({"mic", line}, false);
        ASSERT_TRUE(parsed.ok) << line;
        EXPECT_EQ(function, parsed.command.def->function);
    }
}

const char* const kMembers[] = {
#define QUORIN_HAL_ENTRY_POINT(member, ...) #member,
#define QUORIN_HAL_DATA(member, object, symbol)
#include "entry_points.def"
};

std::string source(const char* relative) {
    std::ifstream in(std::string(QUORIN_SOURCE_DIR "/tests/") + relative);
    EXPECT_TRUE(in.is_open()) << relative;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The reference model and the fuzzer call each entry point through HalApi as `lib->Member(`; an
// entry point either of them leaves out is left out on purpose, for the reason given.
struct Drivers {
    const char* file;
    std::map<std::string, const char*> left_out;
};

void PrintTo(const Drivers& drivers, std::ostream* out) {
    *out << drivers.file;
}

class InterfaceCoverage : public testing::TestWithParam<Drivers> {};

TEST_P(InterfaceCoverage, CallsEveryEntryPointOrSaysWhyNot) {
    const std::string text = source(GetParam().file);
    for (const char* member : kMembers) {
        const bool called = text.find(std::string("lib->") + member + "(") != std::string::npos;
        const auto left_out = GetParam().left_out.find(member);
        if (left_out == GetParam().left_out.end()) {
            EXPECT_TRUE(called) << GetParam().file << " does not call " << member;
        } else {
            EXPECT_FALSE(called) << GetParam().file << " calls " << member
                                 << ", listed as left out: " << left_out->second;
        }
    }
}

constexpr const char* kLogsOnly = "it logs one line and returns 0; nothing to predict";
constexpr const char* kReturnsZero = "a getter that returns 0 whatever the state";

INSTANTIATE_TEST_SUITE_P(Drivers, InterfaceCoverage,
                         testing::Values(Drivers{"model/model_test.cpp",
                                                 {{"SetLedStateForVolume", kLogsOnly},
                                                  {"SetBeamformingDegree", kLogsOnly},
                                                  {"MicGetVersion", kLogsOnly},
                                                  {"MicInit", kLogsOnly},
                                                  {"MicDeinit", kLogsOnly},
                                                  {"MicPause", kLogsOnly},
                                                  {"MicResume", kLogsOnly},
                                                  {"MicGetOnOff", kReturnsZero},
                                                  {"MicGetEchoMaxLevel", kReturnsZero}}},
                                         Drivers{"fuzz/fuzz_entry_points.cpp",
                                                 {{"MicGetVersion", kLogsOnly},
                                                  {"MicGetOnOff", kReturnsZero},
                                                  {"MicGetEchoMaxLevel", kReturnsZero}}}),
                         [](const testing::TestParamInfo<Drivers>& info) {
                             return info.index == 0 ? std::string("Model") : std::string("Fuzzer");
                         });

}  // namespace
