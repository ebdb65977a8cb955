// SPDX-License-Identifier: Apache-2.0
// A property key's SELinux context as init gives it: from the property_contexts files of the
// partitions, read in init's order, an exact entry matching only the whole key, else the longest
// matching prefix. Files are taken under `root` ("" on a device), so that tests plant their own.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct PropertyContextEntry {
    std::string name;  // the key, or its prefix
    std::string context;
    bool exact = false;
    std::string file;  // where it was read, without the root
    size_t order = 0;  // its file's place in init's order
};

// A file read only in part: past the bound on its lines or its size, nothing was read.
struct CutFile {
    std::string file;
    size_t order = 0;
    std::string extent;  // "its first 20000 lines", "its first 4 MiB"
};

// The lines of one property_contexts file: "NAME CONTEXT [exact|prefix [TYPE...]]", comments and
// blank lines skipped. An entry with the name and match of an earlier one is passed over, as
// init passes it over. At most kPropertyContextsLines lines are read: true when there were more.
constexpr size_t kPropertyContextsLines = 20000;
bool parse_property_contexts(const std::string& text, const std::string& file,
                             std::vector<PropertyContextEntry>* entries, size_t order = 0);

// The files init reads, in its order, that exist under `root`; empty where the system has none.
std::vector<std::string> property_contexts_files(const std::string& root);

// Every entry of those files; nullopt where there are none (not Android). `cut`, when given, gets
// the files read only in part.
std::optional<std::vector<PropertyContextEntry>> load_property_contexts(
        const std::string& root, std::vector<CutFile>* cut = nullptr);

// The entry that gives `key` its context; nullopt when none matches (init's default_prop).
std::optional<PropertyContextEntry> resolve_property_context(
        const std::vector<PropertyContextEntry>& entries, const std::string& key);

// Whether what was not read of `cut` could give a key another context than `found` does: an
// exact entry holds unless a file before its own was cut; a prefix, or no entry, unless any was.
bool unread_could_decide(const std::optional<PropertyContextEntry>& found,
                         const std::vector<CutFile>& cut);

// The context init gives a key no entry matches.
constexpr const char* kDefaultPropertyContext = "u:object_r:default_prop:s0";
