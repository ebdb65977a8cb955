// SPDX-License-Identifier: Apache-2.0
// halctl's command and script parser on arbitrary text: it never crashes, and whatever it
// accepts is a known command whose integer arguments read back as they were written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "halctl_commands.h"
#include "strict_decimal.h"

namespace {

void check(bool condition) {
    if (!condition) abort();
}

void check_command(const Command& command) {
    check(command.def != nullptr);
    const Arguments& takes = command.def->arguments;
    check(takes.integers >= 0 && takes.integers <= kMostIntegers);
    check(takes.kind == ArgumentKind::kIntegers || takes.integers == 0);
    // Every command has exactly one call: the library's or halctl's own.
    check((command.def->library == nullptr) == (command.def->work != HalctlWork::kNone));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    const ScriptResult script = parse_script(text);
    if (script.ok) {
        for (const Command& command : script.commands) {
            check_command(command);
            check(command.def->arguments.kind != ArgumentKind::kFile);  // run, never in a script
            check(command.line >= 1);
        }
    } else {
        check(script.commands.empty());
        check(script.error.rfind("line ", 0) == 0);
    }

    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    for (const bool in_script : {false, true}) {
        const ParseResult parsed = parse_command(words, in_script);
        if (parsed.ok) {
            check_command(parsed.command);
        } else if (!parsed.help) {
            check(!parsed.error.empty());
        }
    }

    for (const std::string& word : words) {
        int value = 0;
        if (parse_strict_decimal(word, &value)) {
            // Accepted text is decimal: the value reads back, leading zeros and "-0" aside.
            int again = 0;
            check(parse_strict_decimal(std::to_string(value), &again) && again == value);
            check(std::strtoll(word.c_str(), nullptr, 10) == value);
        }
    }
    return 0;
}
