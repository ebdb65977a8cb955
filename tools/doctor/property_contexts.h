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

// A line init's parser refuses (or, for a duplicate, its trie), with why.
struct RejectedLine {
    std::string file;
    size_t line = 0;  // from 1
    std::string reason;
};

// The lines of one property_contexts file as Android 12's init reads them from a vendor image of
// Android 11 or later: "NAME CONTEXT [exact|prefix [TYPE]]" split on white space, a line that
// begins with '#' a comment. A line with no context, another match word, or a type init does not
// know (an "enum" without values among them) is rejected; so is a second definition of an exact
// name or of a prefix, which makes init build no contexts at all (the first is kept here). At
// most kPropertyContextsLines lines are read: true when there were more.
constexpr size_t kPropertyContextsLines = 20000;
bool parse_property_contexts(const std::string& text, const std::string& file,
                             std::vector<PropertyContextEntry>* entries, size_t order = 0,
                             std::vector<RejectedLine>* rejected = nullptr);

// The files init reads, in its order, that exist under `root`; empty where the system has none.
std::vector<std::string> property_contexts_files(const std::string& root);

// Every entry of those files; nullopt where there are none (not Android). `cut`, when given, gets
// the files read only in part; `rejected`, the lines init would not take.
std::optional<std::vector<PropertyContextEntry>> load_property_contexts(
        const std::string& root, std::vector<CutFile>* cut = nullptr,
        std::vector<RejectedLine>* rejected = nullptr);

// The entry that gives `key` its context; nullopt when none matches (init's default_prop).
std::optional<PropertyContextEntry> resolve_property_context(
        const std::vector<PropertyContextEntry>& entries, const std::string& key);

// Whether what was not read of `cut` could give a key another context than `found` does: an
// exact entry holds unless a file before its own was cut; a prefix, or no entry, unless any was.
bool unread_could_decide(const std::optional<PropertyContextEntry>& found,
                         const std::vector<CutFile>& cut);

// The context init gives a key no entry matches.
constexpr const char* kDefaultPropertyContext = "u:object_r:default_prop:s0";
