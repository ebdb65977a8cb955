// SPDX-License-Identifier: Apache-2.0
// The capabilities this process really has: root without CAP_DAC_OVERRIDE (dropped by a
// container, capsh or a service's capability set) meets the owner and mode checks like anyone.
#pragma once

#include <optional>
#include <string>

// From the text of /proc/<pid>/status: whether CapEff holds CAP_DAC_OVERRIDE; nullopt when the
// text has no readable CapEff line.
std::optional<bool> dac_override_in_status(const std::string& status);

// This process's own, from /proc/self/status; false when it cannot be told.
bool has_dac_override();
