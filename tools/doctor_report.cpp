// SPDX-License-Identifier: Apache-2.0
#include "doctor_report.h"

#include <cstdio>

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

std::string json_string(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    snprintf(escaped, sizeof(escaped), "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string summary(const DoctorTally& counts) {
    return std::to_string(counts.passed) + " passed, " + std::to_string(counts.failed) +
           " failed, " + std::to_string(counts.skipped) + " skipped";
}

}  // namespace

DoctorTally tally(const DoctorReport& report) {
    DoctorTally counts;
    for (const DoctorCheck& check : report) {
        switch (check.verdict) {
            case Verdict::kPass:
                ++counts.passed;
                break;
            case Verdict::kFail:
                ++counts.failed;
                break;
            case Verdict::kSkip:
                ++counts.skipped;
                break;
        }
    }
    return counts;
}

std::string doctor_text(const DoctorReport& report) {
    std::string out;
    for (const DoctorCheck& check : report) {
        out += std::string(verdict_words(check.verdict).text) + "  " + check.subject + ": " +
               check.check;
        if (!check.detail.empty()) out += ": " + check.detail;
        out += "\n";
        if (!check.hint.empty()) out += "      hint: " + check.hint + "\n";
    }
    const DoctorTally counts = tally(report);
    out += "doctor: " + summary(counts) +
           (counts.failed == 0 ? ": the device has what libquorin_hal needs\n"
                               : ": see the hints above\n");
    return out;
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
