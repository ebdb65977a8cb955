// SPDX-License-Identifier: Apache-2.0
// One finding of `halctl doctor`: what was checked, the verdict, what was found and, for a
// failure, what to change.
#pragma once

#include <functional>
#include <string>
#include <vector>

enum class Verdict { kPass, kFail, kSkip };

struct DoctorCheck {
    std::string subject;  // "green_led/trigger", "vendor.quorin.ledcolor", "liblog.so", ...
    std::string check;    // "present", "opens read-write", "loads", ...
    Verdict verdict = Verdict::kPass;
    std::string detail;  // what was found; may be empty
    std::string hint;    // for a failure: what to change on the device
};

using DoctorReport = std::vector<DoctorCheck>;

// Called with each check as it completes, so that the report is out before anything later
// could end the process.
using DoctorSink = std::function<void(const DoctorCheck&)>;

// The probes' end of a sink: they push checks as into a report.
struct CheckSink {
    DoctorSink sink;
    void push_back(const DoctorCheck& check) const {
        sink(check);
    }
};
