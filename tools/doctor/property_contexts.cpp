// SPDX-License-Identifier: Apache-2.0
#include "property_contexts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
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

}  // namespace

bool parse_property_contexts(const std::string& text, const std::string& file,
                             std::vector<PropertyContextEntry>* entries, size_t order) {
    // The definitions already held, by match and name: each line is looked up, not compared
    // with every earlier one.
    std::unordered_set<std::string> held;
    const auto key_of = [](bool exact, const std::string& name) {
        return (exact ? "e " : "p ") + name;
    };
    for (const PropertyContextEntry& entry : *entries) held.insert(key_of(entry.exact, entry.name));
    std::istringstream lines(text);
    size_t count = 0;
    std::string line;
    for (; count < kPropertyContextsLines && std::getline(lines, line); ++count) {
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream words(line);
        PropertyContextEntry entry;
        std::string match;
        if (!(words >> entry.name >> entry.context)) continue;
        words >> match;
        if (!match.empty() && match != "exact" && match != "prefix") continue;  // init rejects it
        entry.exact = match == "exact";
        entry.file = file;
        entry.order = order;
        if (held.insert(key_of(entry.exact, entry.name)).second) {
            entries->push_back(std::move(entry));
        }
    }
    return count == kPropertyContextsLines && lines.peek() != std::char_traits<char>::eof();
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

std::optional<std::vector<PropertyContextEntry>> load_property_contexts(const std::string& root,
                                                                        std::vector<CutFile>* cut) {
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
        const bool too_long = parse_property_contexts(text, file, &entries, order);
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
        // "*" is the platform's catch-all prefix: it matches every key.
        const bool matches = entry.name == "*" || key.compare(0, entry.name.size(), entry.name) == 0;
        const size_t length = entry.name == "*" ? 0 : entry.name.size();
        if (matches && (best == nullptr || length > (best->name == "*" ? 0 : best->name.size()))) {
            best = &entry;
        }
    }
    if (best == nullptr) return std::nullopt;
    return *best;
}
