// SPDX-License-Identifier: Apache-2.0
// The doctor's report for people (one line per check, a hint under each failure, a summary) and
// for scripts (one JSON object).
#pragma once

#include <string>

#include "doctor_check.h"

struct DoctorTally {
    int passed = 0;
    int failed = 0;
    int skipped = 0;
};
DoctorTally tally(const DoctorReport& report);

std::string doctor_text(const DoctorReport& report);
std::string doctor_json(const DoctorReport& report);
