// SPDX-License-Identifier: Apache-2.0
// The loader's verdicts and where the loader looks: plain functions of what the loading process
// reported, so that each can be checked without loading anything.
#include <elf.h>
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

// The Debian multiarch name of the object's machine and ABI, or nullptr.
const char* multiarch_triplet(const ElfNeeded& object) {
    constexpr uint32_t kArmAbiFloatHard = 0x400;  // e_flags' EF_ARM_ABI_FLOAT_HARD
    switch (object.machine) {
        case EM_X86_64:
            return object.is_64bit ? "x86_64-linux-gnu" : "x86_64-linux-gnux32";
        case EM_386:
            return "i386-linux-gnu";
        case EM_AARCH64:
            return "aarch64-linux-gnu";
        case EM_ARM:
            return (object.flags & kArmAbiFloatHard) != 0 ? "arm-linux-gnueabihf"
                                                          : "arm-linux-gnueabi";
        default:
            return nullptr;
    }
}

std::string joined_path(const std::string& dir, const std::string& name) {
    std::string path = dir;
    path += '/';
    path += name;
    return path;
}

bool regular_file(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
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
    return dirs;
}

std::vector<std::string> default_dirs(const ElfNeeded& from, LoaderModel model) {
    if (model == LoaderModel::kBionic) return {};
    // Each distribution builds glibc with its own: Debian's and Ubuntu's name the machine's
    // multiarch directories, then /lib and /usr/lib; others /lib64 and /usr/lib64 for a 64-bit
    // object. Only a file of the object's class and machine is taken from any of them.
    std::vector<std::string> dirs;
    const char* triplet = multiarch_triplet(from);
    if (triplet != nullptr) {
        dirs.push_back(std::string("/lib/") + triplet);
        dirs.push_back(std::string("/usr/lib/") + triplet);
    }
    if (from.is_64bit) {
        dirs.emplace_back("/lib64");
        dirs.emplace_back("/usr/lib64");
    }
    dirs.emplace_back("/lib");
    dirs.emplace_back("/usr/lib");
    return dirs;
}

std::string find_in(const std::vector<std::string>& dirs, const std::string& name) {
    for (const std::string& dir : dirs) {
        std::string candidate = joined_path(dir, name);
        if (regular_file(candidate)) return candidate;
    }
    return "";
}

std::string LibrarySearch::find(const std::string& name) const {
    // glibc passes over a file of another class or machine and goes on looking; bionic stops at
    // the first file of the name.
    const auto fits = [this](const std::string& path) {
        if (!regular_file(path)) return false;
        if (model == LoaderModel::kBionic) return true;
        ElfNeeded candidate;
        std::string error;
        return read_elf_needed(path, &candidate, &error) && candidate.is_64bit == is_64bit &&
               candidate.machine == machine;
    };
    for (const std::string& dir : dirs) {
        std::string candidate = joined_path(dir, name);
        if (fits(candidate)) return candidate;
    }
    std::string cached = cache_lookup(cache, name);
    if (!cached.empty() && fits(cached)) return cached;
    for (const std::string& dir : defaults) {
        std::string candidate = joined_path(dir, name);
        if (fits(candidate)) return candidate;
    }
    return "";
}

std::string LibrarySearch::places() const {
    if (model == LoaderModel::kBionic) {
        return "not in " + (dirs.empty() ? std::string("its run path (none)") : joined(dirs)) +
               "; where else the device's linker looks is its namespaces' to say, so no path is "
               "shown";
    }
    std::string text = "not in " + joined(dirs);
    if (!dirs.empty()) text += ", ";
    text += cache.error.empty() ? "the loader's cache " + cache.file
                                : "the loader's cache (" + cache.file + ": " + cache.error + ")";
    return text + ", " + joined(defaults);
}

LibrarySearch library_search(const ElfNeeded& from, const std::string& origin,
                             const char* library_path, const std::string& cache_file,
                             LoaderModel model) {
    LibrarySearch search;
    search.model = model;
    search.is_64bit = from.is_64bit;
    search.machine = from.machine;
    search.dirs = search_dirs(from, origin, library_path, model);
    if (model == LoaderModel::kGlibc) search.cache = read_ld_so_cache(cache_file, from);
    search.defaults = default_dirs(from, model);
    return search;
}

std::vector<std::string> dependency_asks(const ElfNeeded& needed, const LibrarySearch& search) {
    std::vector<std::string> asks;
    for (const std::string& name : needed.libraries) {
        if (name.find('/') != std::string::npos) continue;
        const std::string path = search.find(name);
        if (!path.empty()) {
            asks.push_back(path);
        } else if (search.model == LoaderModel::kBionic) {
            asks.push_back(name);
        }
    }
    return asks;
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

DoctorCheck dependency_verdict(const std::string& name, const LibrarySearch& search,
                               const LoadOutcome& load) {
    const auto found = [&name](std::string detail) {
        return DoctorCheck{name, "found", Verdict::kPass, std::move(detail), ""};
    };
    const auto missing = [&name](const std::string& why) {
        DoctorCheck check = needed_library_verdict(name, why);
        check.check = "found";
        return check;
    };
    if (name.find('/') != std::string::npos) return found(name);
    if (load.kind == LoadOutcome::Kind::kLoaded) {
        for (const std::string& object : load.objects) {
            if (file_name(object) == name) return found(object + " (where the loader loaded it)");
        }
        return found("loaded with the library (the loader names no object " + name + ")");
    }
    const std::string path = search.find(name);
    if (path.empty() && search.model == LoaderModel::kGlibc) {
        return missing("the library's load cannot find it: " + search.places());
    }
    const DependencyAnswer* answer = answer_for(load, path.empty() ? name : path);
    if (answer == nullptr) {
        if (!path.empty()) {
            return found(path + " (on the library's search path; the library did not load)");
        }
        return {name, "found", Verdict::kSkip,
                search.places() + "; the loader was not asked, the loading did not finish", ""};
    }
    if (answer->loaded && answer->through_halctl) {
        return missing("the library's load cannot find it (" + search.places() +
                       "); only halctl's own run path holds one (" + answer->text +
                       "), which the library's load does not search");
    }
    if (answer->loaded) {
        if (!path.empty()) {
            return found(path + " (on the library's search path; the loader loads it alone)");
        }
        return found(answer->text.empty() ? std::string("the loader finds it, asked for it alone")
                                          : answer->text + " (where the loader finds it alone)");
    }
    if (path.empty() && says_missing(answer->text, name)) {
        return missing("the loader cannot find it (" + answer->text + "); " + search.places());
    }
    const std::string lacking = missing_name(answer->text);
    DoctorCheck check = needed_library_verdict(lacking.empty() ? name : lacking, answer->text);
    check.subject = name;
    check.check = "found";
    check.detail = (path.empty() ? std::string("the loader finds it") : path) +
                   " but cannot load it: " + answer->text;
    return check;
}
