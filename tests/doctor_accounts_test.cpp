// SPDX-License-Identifier: Apache-2.0
// The doctor's account lookups with entries larger than a first buffer, and its reading of the
// capabilities, from lookups and status text given directly.
#include "doctor_accounts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "doctor_capabilities.h"

namespace {

// A group `system` listing this many members, each name this long: far beyond 1024 bytes.
constexpr size_t kMembers = 3000;
constexpr size_t kMemberName = 12;
size_t calls = 0;
bool always_erange = false;

// getgrnam_r as an NSS module answers for such a group: ERANGE until the buffer holds it all.
int large_group(const char* name, group* entry, char* buffer, size_t size, group** found) {
    ++calls;
    *found = nullptr;
    if (std::strcmp(name, "system") != 0) return 0;
    const size_t needed = (kMembers + 1) * sizeof(char*) + kMembers * (kMemberName + 1) + 8;
    if (always_erange || size < needed) return ERANGE;
    auto* members = reinterpret_cast<char**>(buffer);
    char* text = buffer + (kMembers + 1) * sizeof(char*);
    for (size_t i = 0; i < kMembers; ++i) {
        members[i] = text;
        std::memset(text, 'm', kMemberName);
        text[kMemberName] = '\0';
        text += kMemberName + 1;
    }
    members[kMembers] = nullptr;
    std::strcpy(text, "system");
    entry->gr_name = text;
    entry->gr_gid = 1000;
    entry->gr_mem = members;
    *found = entry;
    return 0;
}

int large_group_by_id(gid_t gid, group* entry, char* buffer, size_t size, group** found) {
    return gid == 1000 ? large_group("system", entry, buffer, size, found) : (*found = nullptr, 0);
}

int system_user(const char* name, passwd* entry, char* buffer, size_t size, passwd** found) {
    *found = nullptr;
    if (std::strcmp(name, "system") != 0 || size < 8) return 0;
    std::strcpy(buffer, "system");
    entry->pw_name = buffer;
    entry->pw_uid = 1000;
    *found = entry;
    return 0;
}

int failing_user(uid_t, passwd*, char*, size_t, passwd** found) {
    *found = nullptr;
    return EIO;
}

AccountLookups large_system() {
    AccountLookups lookups;
    lookups.user_by_name = system_user;
    lookups.group_by_name = large_group;
    lookups.group_by_id = large_group_by_id;
    lookups.user_by_id = failing_user;
    return lookups;
}

TEST(DoctorAccounts, AGroupWithManyMembersIsFoundWithALargerBuffer) {
    calls = 0;
    always_erange = false;
    const std::optional<SystemIds> ids = system_ids(large_system());
    ASSERT_TRUE(ids.has_value());
    EXPECT_EQ(1000U, ids->uid);
    EXPECT_EQ(1000U, ids->gid);
    EXPECT_GT(calls, 1U);
    EXPECT_EQ("system", group_name(1000, large_system()));
}

TEST(DoctorAccounts, ERangeWithoutEndIsBoundedAndTakenAsNoAccount) {
    calls = 0;
    always_erange = true;
    EXPECT_FALSE(system_ids(large_system()).has_value());
    EXPECT_EQ("1000", group_name(1000, large_system()));
    // 1 KiB doubled up to the limit, for each of the two lookups.
    EXPECT_EQ(2U * 11U, calls);
    always_erange = false;
}

TEST(DoctorAccounts, AFailingLookupGivesTheNumber) {
    EXPECT_EQ("4321", user_name(4321, large_system()));
    EXPECT_EQ("77", group_name(77, large_system()));
}

TEST(DoctorCapabilities, CapEffDecidesNotTheUid) {
    const struct {
        const char* status;
        std::optional<bool> dac_override;
    } cases[] = {
            {"Name:\thalctl\nCapInh:\t0000000000000000\nCapPrm:\t000001ffffffffff\n"
             "CapEff:\t000001ffffffffff\n",
             true},
            {"CapPrm:\t0000000000000002\nCapEff:\t0000000000000000\n", false},
            {"CapEff:\t00000000a80425fd\n", false},  // a container's set: no bit 1
            {"CapEff:\t0000000000000002\n", true},
            {"CapEff:\t0000000000000001\n", false},  // CAP_CHOWN only
            {"Name:\thalctl\n", std::nullopt},
            {"CapEff:\t\n", std::nullopt},
            {"CapEff:\tzz\n", std::nullopt},
            {"CapEff:\t11111111111111111\n", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.dac_override, dac_override_in_status(c.status)) << c.status;
    }
}

}  // namespace
