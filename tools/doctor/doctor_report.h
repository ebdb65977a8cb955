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
void count(DoctorTally* counts, const DoctorCheck& check);
DoctorTally tally(const DoctorReport& report);

// The text report a line at a time, as the checks complete: one check (with its hint), the
// summary. Control bytes of what was found are shown escaped (\x07).
std::string check_text(const DoctorCheck& check);
std::string summary_text(const DoctorTally& counts);

std::string doctor_text(const DoctorReport& report);
std::string doctor_json(const DoctorReport& report);
