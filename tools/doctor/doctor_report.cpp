// SPDX-License-Identifier: Apache-2.0
#include "doctor_report.h"

#include "text_escape.h"

namespace {

// The word of the text report (a failure stands out in capitals) and of the JSON form.
struct VerdictWords {
    const char* text;
    const char* json;
};

VerdictWords verdict_words(Verdict verdict) {
    switch (verdict) {
        case Verdict::kPass:
            return {"pass", "pass"};
        case Verdict::kFail:
            return {"FAIL", "fail"};
        case Verdict::kSkip:
            return {"skip", "skip"};
    }
    return {"?", "?"};
}

std::string summary(const DoctorTally& counts) {
    return std::to_string(counts.passed) + " passed, " + std::to_string(counts.failed) +
           " failed, " + std::to_string(counts.skipped) + " skipped";
}

}  // namespace

void count(DoctorTally* counts, const DoctorCheck& check) {
    switch (check.verdict) {
        case Verdict::kPass:
            ++counts->passed;
            break;
        case Verdict::kFail:
            ++counts->failed;
            break;
        case Verdict::kSkip:
            ++counts->skipped;
            break;
    }
}

DoctorTally tally(const DoctorReport& report) {
    DoctorTally counts;
    for (const DoctorCheck& check : report) count(&counts, check);
    return counts;
}

std::string check_text(const DoctorCheck& check) {
    std::string out = std::string(verdict_words(check.verdict).text) + "  " +
                      printable(check.subject) + ": " + printable(check.check);
    if (!check.detail.empty()) out += ": " + printable(check.detail);
    out += "\n";
    if (!check.hint.empty()) out += "      hint: " + printable(check.hint) + "\n";
    return out;
}

std::string summary_text(const DoctorTally& counts) {
    return "doctor: " + summary(counts) +
           (counts.failed == 0 ? ": the device has what libquorin_hal needs\n"
                               : ": see the hints above\n");
}

std::string doctor_text(const DoctorReport& report) {
    std::string out;
    for (const DoctorCheck& check : report) out += check_text(check);
    return out + summary_text(tally(report));
}

std::string doctor_json(const DoctorReport& report) {
    std::string out = "{\"checks\": [";
    for (size_t i = 0; i < report.size(); ++i) {
        const DoctorCheck& check = report[i];
        out += i == 0 ? "\n" : ",\n";
        out += "  {\"subject\": " + json_string(check.subject) +
               ", \"check\": " + json_string(check.check) +
               ", \"verdict\": " + json_string(verdict_words(check.verdict).json) +
               ", \"detail\": " + json_string(check.detail) +
               ", \"hint\": " + json_string(check.hint) + "}";
    }
    const DoctorTally counts = tally(report);
    out += "\n], \"passed\": " + std::to_string(counts.passed) +
           ", \"failed\": " + std::to_string(counts.failed) +
           ", \"skipped\": " + std::to_string(counts.skipped) +
           ", \"ok\": " + (counts.failed == 0 ? "true" : "false") + "}\n";
    return out;
}
