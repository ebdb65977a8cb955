// SPDX-License-Identifier: Apache-2.0
// A device file that does not open: one DEBUG line under the calling unit's tag for each write
// addressed to it, in the pattern's order, and nothing done with the failed descriptor.
#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "hal_test.h"

namespace {

using AttributeWriterFailedOpen = HalTest;

struct Request {
    const char* name;
    std::function<void(const HalApi&)> before;  // brings the model to where the request starts
    std::function<void(const HalApi&)> call;
    const char* tag;
};

void nothing(const HalApi&) {
}

// Every LED pattern the library draws (each request row from the start, the flash over each
// pattern in force that it may interrupt (standby refuses it), the colours over a steady and a
// blinking panel) and every ADC write.
const std::vector<Request>& requests() {
    static const std::vector<Request> list = {
            {"standby", nothing, [](const HalApi& h) { h.SetLedState(0, 0); }, "hal_frontpanel"},
            {"all steady", nothing, [](const HalApi& h) { h.SetLedState(0, 1); }, "hal_frontpanel"},
            {"all steady by state 4", nothing, [](const HalApi& h) { h.SetLedState(0, 4); },
             "hal_frontpanel"},
            {"sys alone", nothing, [](const HalApi& h) { h.SetLedState(0, 220); }, "hal_frontpanel"},
            {"remote blinking", nothing, [](const HalApi& h) { h.SetLedState(1, 200); },
             "hal_frontpanel"},
            {"all steady by index 1", nothing, [](const HalApi& h) { h.SetLedState(1, 201); },
             "hal_frontpanel"},
            {"flash over all blinking", nothing, [](const HalApi& h) { h.SetLedState(3, 2); },
             "hal_frontpanel"},
            {"flash over all steady", [](const HalApi& h) { h.SetLedState(0, 1); },
             [](const HalApi& h) { h.SetLedState(3, 2); }, "hal_frontpanel"},
            {"flash over remote blinking", [](const HalApi& h) { h.SetLedState(1, 200); },
             [](const HalApi& h) { h.SetLedState(3, 2); }, "hal_frontpanel"},
            {"flash over sys alone", [](const HalApi& h) { h.SetLedState(0, 220); },
             [](const HalApi& h) { h.SetLedState(3, 2); }, "hal_frontpanel"},
            {"colour remote, blinking", nothing, [](const HalApi& h) { h.SetLedColor(0, 0); },
             "hal_frontpanel"},
            {"colour green, blinking", nothing, [](const HalApi& h) { h.SetLedColor(0, 2); },
             "hal_frontpanel"},
            {"colour remote, steady", [](const HalApi& h) { h.SetLedState(0, 1); },
             [](const HalApi& h) { h.SetLedColor(0, 0); }, "hal_frontpanel"},
            {"colour green, steady", [](const HalApi& h) { h.SetLedState(0, 1); },
             [](const HalApi& h) { h.SetLedColor(0, 2); }, "hal_frontpanel"},
            {"colour all, steady", [](const HalApi& h) { h.SetLedState(0, 0); },
             [](const HalApi& h) { h.SetLedColor(0, 10); }, "hal_frontpanel"},
            {"mic unmute", nothing, [](const HalApi& h) { h.MicSetOnOff(0); }, "hal_mic"},
            {"mic mute", nothing, [](const HalApi& h) { h.MicSetOnOff(1); }, "hal_mic"},
            {"mic volume", nothing, [](const HalApi& h) { h.MicSetVolume(57); }, "hal_mic"},
    };
    return list;
}

// The open-failure lines among the log's, in order.
std::vector<LogLine> open_failures(const std::vector<LogLine>& lines) {
    std::vector<LogLine> failures;
    for (const LogLine& line : lines) {
        if (line.text.find("fail to open") != std::string::npos) failures.push_back(line);
    }
    return failures;
}

std::vector<std::string> descriptor_faults(const std::vector<std::string>& calls) {
    std::vector<std::string> faults;
    for (const std::string& call : calls) {
        if (call.rfind("write -", 0) == 0 || call.rfind("close -", 0) == 0) faults.push_back(call);
    }
    return faults;
}

// With every device file refusing to open, each request's opens each cost exactly the line the
// unit owes: its tag, DEBUG, "fail to open file PATH", in the order of the opens.
TEST_F(AttributeWriterFailedOpen, EachFailedOpenOfEveryPatternIsLoggedUnderItsUnitsTag) {
    for (const Request& request : requests()) {
        lib.restart();
        sysfs.skip_sleeps(true);
        request.before(lib.api());
        for (const char* path : test_paths::kAllDeviceFiles) sysfs.refuse_open(path, EACCES);
        sysfs.clear();
        logs.clear();
        request.call(lib.api());
        std::vector<LogLine> expected;
        for (const fake_sysfs::Open& open : sysfs.opens()) {
            EXPECT_EQ(-1, open.fd) << request.name << ": " << open.path;
            expected.push_back(open_failure(request.tag, open.path));
        }
        EXPECT_FALSE(expected.empty()) << request.name << ": opens nothing";
        EXPECT_EQ(expected, open_failures(logs.lines())) << request.name;
        EXPECT_EQ(std::vector<std::string>{}, descriptor_faults(sysfs.calls())) << request.name;
        // Back to a device whose files open, for the next request's way there.
        sysfs.clear_faults();
    }
}

// One attribute at a time refusing to open, under requests that reach every attribute: the failed
// open is the end of that write; no write and no close follow it, every good open is closed.
TEST_F(AttributeWriterFailedOpen, NoDescriptorCallFollowsAFailedOpenOfAnyAttribute) {
    for (const char* path : test_paths::kAllDeviceFiles) {
        lib.restart();
        sysfs.clear_faults();
        sysfs.skip_sleeps(true);
        sysfs.refuse_open(path, ENOENT);
        sysfs.clear();
        for (const Request& request : requests()) {
            request.before(lib.api());
            request.call(lib.api());
        }
        size_t failed = 0;
        for (const fake_sysfs::Open& open : sysfs.opens()) {
            if (open.fd < 0) {
                EXPECT_EQ(path, open.path);
                ++failed;
            }
        }
        EXPECT_GT(failed, 0U) << path << " was never opened";
        const std::vector<std::string> calls = sysfs.calls();
        EXPECT_EQ(std::vector<std::string>{}, descriptor_faults(calls)) << path;
        size_t opened = 0;
        size_t closed = 0;
        for (const std::string& call : calls) {
            if (call.rfind("open ", 0) == 0) ++opened;
            if (call.rfind("close ", 0) == 0) ++closed;
            EXPECT_NE("write " + std::string(path), call.substr(0, call.rfind(' '))) << path;
        }
        EXPECT_EQ(opened, closed) << path;
    }
}

}  // namespace
