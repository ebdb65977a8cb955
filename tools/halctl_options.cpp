// SPDX-License-Identifier: Apache-2.0
#include "halctl_options.h"

#include <getopt.h>

#include "text_escape.h"

namespace {

enum LongOnly { kColour = 256, kForce, kLibrary, kVersion };

// A leading '+' stops at the first word that is not an option, so that a command's arguments
// ("led state 0 -1") are never taken for options; a leading ':' reports a missing argument.
constexpr const char* kShortOptions = "+:vxh";

const option kLongOptions[] = {
        {"color", required_argument, nullptr, kColour},
        {"force", no_argument, nullptr, kForce},
        {"help", no_argument, nullptr, 'h'},
        {"lib", required_argument, nullptr, kLibrary},
        {"verbose", no_argument, nullptr, 'v'},
        {"version", no_argument, nullptr, kVersion},
        {nullptr, 0, nullptr, 0},
};

// At most this much of a word handed to halctl is echoed in a message, escaped.
constexpr size_t kEchoedBytes = 64;

std::string echoed(const std::string& word) {
    return "\"" + printable_excerpt(word, kEchoedBytes) + "\"";
}

OptionsResult error(std::string message, std::string usage = "halctl --help") {
    OptionsResult result;
    result.error = std::move(message);
    result.usage = std::move(usage);
    return result;
}

bool read_colour(const std::string& when, Options::Colour* colour) {
    if (when == "always") {
        *colour = Options::Colour::kAlways;
    } else if (when == "never") {
        *colour = Options::Colour::kNever;
    } else if (when == "auto") {
        *colour = Options::Colour::kAuto;
    } else {
        return false;
    }
    return true;
}

}  // namespace

OptionsResult parse_options(int argc, char* const argv[]) {
    OptionsResult result;
    Options& options = result.options;
    optind = 0;  // glibc and bionic both start afresh
    opterr = 0;  // the messages are ours
    bool help = false;
    bool version = false;
    for (;;) {
        const int before = optind == 0 ? 1 : optind;
        const int c = getopt_long(argc, argv, kShortOptions, kLongOptions, nullptr);
        if (c == -1) break;
        switch (c) {
            case 'v':
                options.verbose = true;
                break;
            case 'x':
                options.trace = true;
                break;
            case 'h':
                help = true;
                break;
            case kVersion:
                version = true;
                break;
            case kForce:
                options.force = true;
                break;
            case kLibrary:
                options.library = optarg;
                if (options.library.empty())
                    return error("--lib needs a path", "halctl --lib PATH ...");
                break;
            case kColour:
                if (!read_colour(optarg, &options.colour)) {
                    return error("--color takes auto, always or never, got " + echoed(optarg),
                                 "halctl --color=auto|always|never COMMAND");
                }
                break;
            case ':':
                if (optopt == kLibrary) return error("--lib needs a path", "halctl --lib PATH ...");
                return error("--color needs auto, always or never",
                             "halctl --color=auto|always|never COMMAND");
            default: {
                // The word at fault: the one just consumed, or the cluster still being read.
                const std::string word = optind > before ? argv[optind - 1] : argv[optind];
                if (word.rfind("--", 0) != 0) {
                    return error("unknown option " +
                                 echoed(std::string("-") + static_cast<char>(optopt)));
                }
                if (optopt == 0) return error("unknown option " + echoed(word));
                return error("option " + echoed(word.substr(0, word.find('='))) +
                             " takes no argument");
            }
        }
    }
    if (help) {
        result.outcome = OptionsResult::Outcome::kHelp;
    } else if (version) {
        result.outcome = OptionsResult::Outcome::kVersion;
    } else {
        result.outcome = OptionsResult::Outcome::kCommand;
        for (int i = optind; i < argc; ++i) result.words.emplace_back(argv[i]);
    }
    return result;
}
