// SPDX-License-Identifier: Apache-2.0
#include "property_contexts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "device_read.h"

namespace {

// A property_contexts file is a few hundred lines; one larger than the bounds is not read further.
constexpr size_t kFileLimit = size_t{4} * 1024 * 1024;

bool readable(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), R_OK) == 0;
}

// Words as init's tokenizer splits a line: on any white space.
std::vector<std::string> split_words(const std::string& line) {
    std::vector<std::string> words;
    for (size_t at = 0; at < line.size();) {
        while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at])) != 0) ++at;
        const size_t start = at;
        while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at])) == 0) ++at;
        if (at > start) words.push_back(line.substr(start, at - start));
    }
    return words;
}

std::string join_from(const std::vector<std::string>& words, size_t first) {
    std::string text;
    for (size_t i = first; i < words.size(); ++i) text += (i == first ? "" : " ") + words[i];
    return text;
}

// A property type as init takes it: one plain type, or "enum" and at least one value.
bool valid_type(const std::vector<std::string>& words, size_t first) {
    if (words[first] == "enum") return words.size() > first + 1;
    if (words.size() != first + 1) return false;
    for (const char* type : {"string", "bool", "int", "uint", "double", "size"}) {
        if (words[first] == type) return true;
    }
    return false;
}

// One definition in init's trie: an exact name, a prefix, or a prefix that ends at a '.' (a
// node's own context). An exact and a prefix entry of one name are two definitions.
std::string definition_key(const PropertyContextEntry& entry) {
    std::string name = entry.name;
    const bool dot = !name.empty() && name.back() == '.';
    if (entry.exact && dot) name.pop_back();
    return (entry.exact ? "e " : dot ? "n " : "p ") + name;
}

}  // namespace

bool parse_property_contexts(const std::string& text, const std::string& file,
                             std::vector<PropertyContextEntry>* entries, size_t order,
                             std::vector<RejectedLine>* rejected) {
    // The definitions already held, as init's trie keys them: each line is looked up, not
    // compared with every earlier one.
    std::unordered_set<std::string> held;
    for (const PropertyContextEntry& entry : *entries) held.insert(definition_key(entry));
    const auto reject = [&](size_t number, std::string reason) {
        if (rejected != nullptr) rejected->push_back({file, number, std::move(reason)});
    };
    size_t count = 0;
    size_t start = 0;
    for (; count < kPropertyContextsLines && start < text.size(); ++count) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::vector<std::string> words = split_words(text.substr(start, end - start));
        start = end + 1;
        // A comment is a line that begins with '#'; elsewhere '#' is a word like any other.
        if (words.empty() || words[0][0] == '#') continue;
        if (words.size() < 2) {
            reject(count + 1, "no context after " + words[0]);
            continue;
        }
        PropertyContextEntry entry{words[0], words[1], false, file, order};
        const std::string match = words.size() > 2 ? words[2] : "";
        // A vendor image of Android 11 or later must say which match it means.
        if (match != "exact" && match != "prefix" && !match.empty()) {
            reject(count + 1, "match \"" + match + "\" is neither prefix nor exact");
            continue;
        }
        if (words.size() > 3 && !valid_type(words, 3)) {
            reject(count + 1, "type \"" + join_from(words, 3) + "\" is not valid");
            continue;
        }
        entry.exact = match == "exact";
        if (!held.insert(definition_key(entry)).second) {
            reject(count + 1, std::string("duplicate ") + (entry.exact ? "exact" : "prefix") +
                                      " match for " + entry.name +
                                      ": init then builds no property contexts at all");
            continue;
        }
        entries->push_back(std::move(entry));
    }
    return count == kPropertyContextsLines && start < text.size();
}

std::vector<std::string> property_contexts_files(const std::string& root) {
    // init's order: the platform's, system_ext's, the vendor's (nonplat_ before vendor_ existed),
    // product's, odm's; from the root directory where the system image has no split policy.
    const bool split = readable(root + "/system/etc/selinux/plat_property_contexts");
    const std::vector<std::vector<std::string>> candidates =
            split ? std::vector<std::vector<
                            std::string>>{{"/system/etc/selinux/plat_property_contexts"},
                                          {"/system_ext/etc/selinux/system_ext_property_contexts"},
                                          {"/vendor/etc/selinux/vendor_property_contexts",
                                           "/vendor/etc/selinux/nonplat_property_contexts"},
                                          {"/product/etc/selinux/product_property_contexts"},
                                          {"/odm/etc/selinux/odm_property_contexts"}}
                  : std::vector<std::vector<std::string>>{
                            {"/plat_property_contexts"},
                            {"/system_ext_property_contexts"},
                            {"/vendor_property_contexts", "/nonplat_property_contexts"},
                            {"/product_property_contexts"},
                            {"/odm_property_contexts"}};
    std::vector<std::string> files;
    for (const std::vector<std::string>& alternatives : candidates) {
        for (const std::string& file : alternatives) {
            if (readable(root + file)) {
                files.push_back(file);
                break;
            }
        }
    }
    // Without the platform's file init loads none of the others.
    if (files.empty() || files.front().find("plat_property_contexts") == std::string::npos) {
        files.clear();
    }
    return files;
}

std::optional<std::vector<PropertyContextEntry>> load_property_contexts(
        const std::string& root, std::vector<CutFile>* cut, std::vector<RejectedLine>* rejected) {
    const std::vector<std::string> files = property_contexts_files(root);
    if (files.empty()) return std::nullopt;
    std::vector<PropertyContextEntry> entries;
    for (size_t order = 0; order < files.size(); ++order) {
        const std::string& file = files[order];
        std::string text;
        bool too_big = false;
        read_bounded((root + file).c_str(), kFileLimit, &text, &too_big);
        // The line the bound cut through is not an entry.
        if (too_big) text.resize(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
        const bool too_long = parse_property_contexts(text, file, &entries, order, rejected);
        if (cut != nullptr && (too_big || too_long)) {
            cut->push_back(
                    {file, order,
                     too_long ? "its first " + std::to_string(kPropertyContextsLines) + " lines"
                              : "its first " + std::to_string(kFileLimit >> 20) + " MiB"});
        }
    }
    return entries;
}

bool unread_could_decide(const std::optional<PropertyContextEntry>& found,
                         const std::vector<CutFile>& cut) {
    if (!found || !found->exact) return !cut.empty();
    return std::any_of(cut.begin(), cut.end(),
                       [&](const CutFile& file) { return file.order < found->order; });
}

std::optional<PropertyContextEntry> resolve_property_context(
        const std::vector<PropertyContextEntry>& entries, const std::string& key) {
    const PropertyContextEntry* best = nullptr;
    for (const PropertyContextEntry& entry : entries) {
        if (entry.exact) {
            if (entry.name == key) return entry;
            continue;
        }
        // The longest prefix, as init's trie finds it; "*" is a prefix like any other.
        if (key.compare(0, entry.name.size(), entry.name) == 0 &&
            (best == nullptr || entry.name.size() > best->name.size())) {
            best = &entry;
        }
    }
    if (best == nullptr) return std::nullopt;
    return *best;
}
