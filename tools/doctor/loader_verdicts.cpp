// SPDX-License-Identifier: Apache-2.0
// The loader's verdicts and where the loader looks: plain functions of what the loading process
// reported, so that each can be checked without loading anything.
#include <sys/stat.h>

#include <cstring>

#include "doctor_loader.h"
#include "doctor_verdicts.h"

namespace {

constexpr const char* kConstructorHint =
        "a load-time constructor of the library or of a library it needs crashed, exited, "
        "blocks or signals: load it under a debugger (gdb --args halctl led version) to see "
        "which";

std::string file_name(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What the loading printed, as part of the finding.
std::string printed(const LoadOutcome& outcome) {
    if (outcome.output.empty()) return "";
    return "; loading printed: " + outcome.output +
           (outcome.output_cut ? " ... (cut at " + std::to_string(kMostLoadOutput) + " bytes)" : "");
}

// Whether the loader's refusal says that it cannot find `name` itself (glibc's and bionic's
// words), rather than something `name` needs.
bool says_missing(const std::string& said, const std::string& name) {
    return said.find(name + ": cannot open shared object file") != std::string::npos ||
           said.find("library \"" + name + "\" not found") != std::string::npos;
}

// The library a refusal names as missing, else "".
std::string missing_name(const std::string& said) {
    const size_t quoted = said.find("library \"");
    if (quoted != std::string::npos) {
        const size_t start = quoted + std::strlen("library \"");
        return said.substr(start, said.find('"', start) - start);
    }
    const size_t words = said.find(": cannot open shared object file");
    return words == std::string::npos ? "" : said.substr(0, words);
}

const DependencyAnswer* answer_for(const LoadOutcome& load, const std::string& name) {
    for (const DependencyAnswer& answer : load.dependencies) {
        if (answer.name == name) return &answer;
    }
    return nullptr;
}

std::string joined(const std::vector<std::string>& dirs) {
    std::string text;
    for (const std::string& dir : dirs) text += (text.empty() ? "" : ":") + dir;
    return text;
}

}  // namespace

std::vector<std::string> search_dirs(const ElfNeeded& from, const std::string& origin,
                                     const char* library_path, LoaderModel model) {
    std::vector<std::string> dirs;
    const auto add = [&](const std::vector<std::string>& list) {
        for (std::string dir : list) {
            for (const char* token : {"${ORIGIN}", "$ORIGIN"}) {
                for (size_t at = dir.find(token); at != std::string::npos; at = dir.find(token)) {
                    dir.replace(at, std::strlen(token), origin);
                }
            }
            dirs.push_back(std::move(dir));
        }
    };
    // bionic ignores DT_RPATH.
    if (model == LoaderModel::kGlibc && from.runpath.empty()) add(from.rpath);
    // An empty entry, trailing ones included, is the current directory.
    if (library_path != nullptr && library_path[0] != '\0') {
        const std::string entries = library_path;
        for (size_t start = 0;;) {
            const size_t end = entries.find(':', start);
            const std::string dir = entries.substr(start, end - start);
            dirs.push_back(dir.empty() ? "." : dir);
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    add(from.runpath);
    if (model == LoaderModel::kBionic) return dirs;
    if (from.is_64bit) {
        for (const char* dir : {"/lib64", "/usr/lib64"}) dirs.emplace_back(dir);
    } else {
        for (const char* dir : {"/lib", "/usr/lib"}) dirs.emplace_back(dir);
    }
    return dirs;
}

std::string find_in(const std::vector<std::string>& dirs, const std::string& name) {
    for (const std::string& dir : dirs) {
        std::string candidate = dir;
        candidate += "/";
        candidate += name;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return candidate;
    }
    return "";
}

DoctorCheck load_verdict(const std::string& subject, const LoadOutcome& outcome) {
    DoctorCheck check{subject, "loads", Verdict::kFail, outcome.message + printed(outcome), ""};
    const std::string& said = outcome.message;
    switch (outcome.kind) {
        case LoadOutcome::Kind::kLoaded:
            check.verdict = Verdict::kPass;
            check.detail = std::string(
                                   "the loader loaded it and every library it needs "
                                   "(RTLD_NOW), ") +
                           (outcome.fresh_process
                                    ? "in a process of its own"
                                    : "in a forked copy of halctl (halctl cannot start itself "
                                      "again here)") +
                           printed(outcome);
            return check;
        case LoadOutcome::Kind::kSignal:
            check.hint = outcome.crash == LoadOutcome::Crash::kLoader
                                 ? "the loader cannot read the file: it is damaged or not built "
                                   "as a shared library for this platform; rebuild and "
                                   "reinstall it"
                                 : kConstructorHint;
            return check;
        case LoadOutcome::Kind::kExited:
        case LoadOutcome::Kind::kTimedOut:
        case LoadOutcome::Kind::kStarterEnded:
            check.hint = kConstructorHint;
            return check;
        case LoadOutcome::Kind::kReportLost:
            check.hint =
                    "a load-time constructor of the library or of a library it needs closes or "
                    "reuses descriptors it did not open (in the hosting service those are binder's "
                    "and the log's): find it under a debugger (gdb --args halctl led version)";
            return check;
        case LoadOutcome::Kind::kNotRun:
            check.verdict = Verdict::kSkip;
            return check;
        case LoadOutcome::Kind::kRefused:
            break;
    }
    if (said.find("undefined symbol") != std::string::npos ||
        said.find("cannot locate symbol") != std::string::npos) {
        check.hint =
                "a library it needs lacks a symbol it was built against: rebuild it against "
                "the device's platform libraries";
    } else if (said.find("ELF class") != std::string::npos ||
               said.find("wrong ELF") != std::string::npos ||
               said.find("machine") != std::string::npos) {
        check.hint =
                "built for another architecture: build it with the device's preset "
                "(armhf for the 32-bit ARM device)";
    } else if (!missing_name(said).empty()) {
        check.hint = needed_library_verdict(missing_name(said), said).hint;
    } else if (said.find("not found") != std::string::npos) {
        check.hint = needed_library_verdict(subject, said).hint;
    } else {
        check.hint = "the file is not a loadable library: rebuild or reinstall it";
    }
    return check;
}

DoctorCheck dependency_verdict(const std::string& name, const std::vector<std::string>& dirs,
                               const LoadOutcome& load, LoaderModel model) {
    const auto found = [&name](std::string detail) {
        return DoctorCheck{name, "found", Verdict::kPass, std::move(detail), ""};
    };
    if (name.find('/') != std::string::npos) return found(name);
    if (load.kind == LoadOutcome::Kind::kLoaded) {
        for (const std::string& object : load.objects) {
            if (file_name(object) == name) return found(object + " (where the loader loaded it)");
        }
        return found("loaded with the library (the loader names no object " + name + ")");
    }
    const std::string searched = find_in(dirs, name);
    if (!searched.empty()) {
        return found(searched + " (on the library's search path; the library did not load)");
    }
    const std::string unknown_places =
            model == LoaderModel::kBionic
                    ? "where else the device's linker looks is its namespaces' to say, so no path "
                      "is shown"
                    : "not in " + joined(dirs);
    const DependencyAnswer* answer = answer_for(load, name);
    if (answer == nullptr) {
        return {name, "found", Verdict::kSkip,
                "not on the library's run path; " + unknown_places +
                        "; the loader was not asked, the loading did not finish",
                ""};
    }
    if (answer->loaded && answer->through_halctl) {
        DoctorCheck check = needed_library_verdict(
                name, "the library's load cannot find it (" + unknown_places +
                              "); only halctl's own run path holds one (" + answer->text +
                              "), which the library's load does not search");
        check.check = "found";
        return check;
    }
    if (answer->loaded) {
        return found(answer->text.empty() ? std::string("the loader finds it, asked for it alone")
                                          : answer->text + " (where the loader finds it alone)");
    }
    if (says_missing(answer->text, name)) {
        DoctorCheck check = needed_library_verdict(
                name, "the loader cannot find it (" + answer->text + "); " + unknown_places);
        check.check = "found";
        return check;
    }
    const std::string lacking = missing_name(answer->text);
    DoctorCheck check = needed_library_verdict(lacking.empty() ? name : lacking, answer->text);
    check.subject = name;
    check.check = "found";
    check.detail = "the loader finds it but cannot load it: " + answer->text;
    return check;
}
