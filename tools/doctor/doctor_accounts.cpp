// SPDX-License-Identifier: Apache-2.0
#include "doctor_accounts.h"

#include <cerrno>
#include <vector>

#include "doctor_expectations.h"

namespace {

constexpr size_t kFirstBuffer = 1024;

// Runs the reentrant lookup with a buffer doubled on each ERANGE; the entry found, or nullptr.
// `buffer` holds the strings the entry points to.
template <typename Entry, typename Key>
Entry* find(int (*lookup)(Key, Entry*, char*, size_t, Entry**), Key key, Entry* entry,
            std::vector<char>* buffer) {
    for (size_t size = kFirstBuffer; size <= kAccountBufferLimit; size *= 2) {
        buffer->resize(size);
        Entry* found = nullptr;
        const int error = lookup(key, entry, buffer->data(), buffer->size(), &found);
        if (error != ERANGE) return error == 0 ? found : nullptr;
    }
    return nullptr;
}

}  // namespace

std::string user_name(uid_t uid, const AccountLookups& lookups) {
    passwd entry{};
    std::vector<char> buffer;
    const passwd* found = find(lookups.user_by_id, uid, &entry, &buffer);
    return found != nullptr && found->pw_name != nullptr ? found->pw_name : std::to_string(uid);
}

std::string group_name(gid_t gid, const AccountLookups& lookups) {
    group entry{};
    std::vector<char> buffer;
    const group* found = find(lookups.group_by_id, gid, &entry, &buffer);
    return found != nullptr && found->gr_name != nullptr ? found->gr_name : std::to_string(gid);
}

std::optional<SystemIds> system_ids(const AccountLookups& lookups) {
    passwd user{};
    group grp{};
    std::vector<char> user_buffer;
    std::vector<char> group_buffer;
    const passwd* found_user = find(lookups.user_by_name, kNodeOwner, &user, &user_buffer);
    const group* found_group = find(lookups.group_by_name, kNodeOwner, &grp, &group_buffer);
    if (found_user == nullptr || found_group == nullptr) return std::nullopt;
    return SystemIds{found_user->pw_uid, found_group->gr_gid};
}
