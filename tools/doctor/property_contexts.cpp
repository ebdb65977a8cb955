// SPDX-License-Identifier: Apache-2.0
#include "property_contexts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "device_read.h"

namespace {

// A property_contexts file is a few hundred lines; one larger than this is not read further.
constexpr size_t kLineLimit = 20000;
constexpr size_t kFileLimit = size_t{4} * 1024 * 1024;

bool readable(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), R_OK) == 0;
}

}  // namespace

void parse_property_contexts(const std::string& text, const std::string& file,
                             std::vector<PropertyContextEntry>* entries) {
    std::istringstream lines(text);
    size_t count = 0;
    for (std::string line; count < kLineLimit && std::getline(lines, line); ++count) {
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
        const bool seen = std::any_of(entries->begin(), entries->end(), [&](const auto& earlier) {
            return earlier.name == entry.name && earlier.exact == entry.exact;
        });
        if (!seen) entries->push_back(std::move(entry));
    }
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

std::optional<std::vector<PropertyContextEntry>> load_property_contexts(const std::string& root) {
    const std::vector<std::string> files = property_contexts_files(root);
    if (files.empty()) return std::nullopt;
    std::vector<PropertyContextEntry> entries;
    for (const std::string& file : files) {
        std::string text;
        read_bounded((root + file).c_str(), kFileLimit, &text);
        parse_property_contexts(text, file, &entries);
    }
    return entries;
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
