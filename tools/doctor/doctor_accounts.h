// SPDX-License-Identifier: Apache-2.0
// The doctor's account lookups: names of owners and the ids of `system`. The reentrant lookups
// answer ERANGE when an entry does not fit the buffer (a group listing many members), so each is
// retried with a larger one, up to a bound. The lookups are given, so that tests need no NSS.
#pragma once

#include <grp.h>
#include <pwd.h>
#include <sys/types.h>

#include <optional>
#include <string>

#include "doctor_verdicts.h"

struct AccountLookups {
    int (*user_by_id)(uid_t, passwd*, char*, size_t, passwd**) = getpwuid_r;
    int (*group_by_id)(gid_t, group*, char*, size_t, group**) = getgrgid_r;
    int (*user_by_name)(const char*, passwd*, char*, size_t, passwd**) = getpwnam_r;
    int (*group_by_name)(const char*, group*, char*, size_t, group**) = getgrnam_r;
};

// The largest buffer a lookup is given; an entry larger than that is taken as absent.
constexpr size_t kAccountBufferLimit = size_t{1} << 20;

// The account's name, its number where it has none.
std::string user_name(uid_t uid, const AccountLookups& lookups = {});
std::string group_name(gid_t gid, const AccountLookups& lookups = {});

// The ids of user and group `system`; absent where either is unknown.
std::optional<SystemIds> system_ids(const AccountLookups& lookups = {});
