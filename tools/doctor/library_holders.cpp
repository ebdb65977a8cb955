// SPDX-License-Identifier: Apache-2.0
#include "library_holders.h"

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "device_read.h"
#include "doctor_expectations.h"

namespace {

// A process's maps may be long (a Java process maps thousands of files); bounded all the same.
constexpr size_t kMapsLineLimit = 200000;

std::string file_name(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool is_pid(const char* name) {
    if (*name == '\0') return false;
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
    }
    return true;
}

// Whether a line of maps ("start-end perms offset dev inode   /path") maps a file of that name.
bool maps_file(const std::string& line, const std::string& name) {
    const size_t path = line.find('/');
    if (path == std::string::npos) return false;
    std::string mapped = line.substr(path);
    const std::string deleted = " (deleted)";
    if (mapped.size() > deleted.size() &&
        mapped.compare(mapped.size() - deleted.size(), deleted.size(), deleted) == 0) {
        mapped.resize(mapped.size() - deleted.size());
    }
    return file_name(mapped) == name;
}

bool holds(const std::string& maps_path, const std::string& name) {
    std::ifstream maps(maps_path);
    size_t count = 0;
    for (std::string line; count < kMapsLineLimit && std::getline(maps, line); ++count) {
        if (maps_file(line, name)) return true;
    }
    return false;
}

std::string command_of(const std::string& dir) {
    std::string text;
    if (read_attribute((dir + "/cmdline").c_str(), &text)) {
        std::string first = file_name(text.substr(0, text.find('\0')));
        if (!first.empty()) return first;
    }
    if (read_attribute((dir + "/comm").c_str(), &text)) {
        while (!text.empty() && text.back() == '\n') text.pop_back();
        if (!text.empty()) return text;
    }
    return "?";
}

}  // namespace

std::vector<LibraryHolder> library_holders(const std::string& proc_root, const std::string& library,
                                           pid_t self) {
    std::vector<LibraryHolder> holders;
    const std::string name = file_name(library);
    const std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir(proc_root.c_str()), closedir);
    if (!proc || name.empty()) return holders;
    for (size_t seen = 0; seen < kProcessLimit && holders.size() < kHolderLimit; ++seen) {
        const dirent* entry = readdir(proc.get());  // NOLINT(concurrency-mt-unsafe)
        if (entry == nullptr) break;
        if (!is_pid(entry->d_name)) continue;
        const pid_t pid = static_cast<pid_t>(std::stol(entry->d_name));
        if (pid == self) continue;
        const std::string dir = proc_root + "/" + entry->d_name;
        if (holds(dir + "/maps", name)) holders.push_back({pid, command_of(dir)});
    }
    std::sort(holders.begin(), holders.end(),
              [](const LibraryHolder& a, const LibraryHolder& b) { return a.pid < b.pid; });
    return holders;
}

std::string stop_command(const LibraryHolder& holder) {
    // The kernel's comm keeps 15 characters of the binary's name.
    const std::string binary = kHostServiceBinary;
    if (holder.command == binary ||
        (holder.command.size() >= 15 &&
         binary.compare(0, holder.command.size(), holder.command) == 0)) {
        return std::string("stop ") + kHostService;
    }
    return "kill " + std::to_string(holder.pid);
}

std::string describe_holders(const std::vector<LibraryHolder>& holders) {
    std::string text;
    for (const LibraryHolder& holder : holders) {
        text += (text.empty() ? "" : ", ") + std::string("pid ") + std::to_string(holder.pid) +
                " (" + holder.command + "; " + stop_command(holder) + ")";
    }
    return text;
}
