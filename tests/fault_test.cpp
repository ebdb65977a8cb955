// SPDX-License-Identifier: Apache-2.0
// One fault per row, injected under the same sequence of calls. The library keeps working,
// logs what it documents, and the LED model, the saved request and what was stored before end
// as they should; nothing is reported to the caller.
#include <sys/system_properties.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>

#include "hal_test.h"
#include "led_writes.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class FaultInjection;

// A row names the fault, how it is injected and, field by field, what it changes in the outcome
// of the fault-free run; every field it does not set is expected as without the fault.
struct FaultRow {
    const char* name = "";
    std::function<void(FaultInjection&)> inject;
    bool file_store = false;       // the property store under HAL_SIM_DIR
    Lines extra_lines;             // log lines the fault adds, in order
    Lines missing_lines;           // log lines of the fault-free run that it takes away
    const char* saved = "0,1,10";  // the LED triple at the end
    const char* micstate = "0";    // the recorded patch state at the end
    bool echo_throws = false;      // the port's exception reaches the caller
    size_t probe_writes = 6;       // of the remote-blinking request after the scenario
};

FaultRow fault(const char* name, std::function<void(FaultInjection&)> inject,
               const std::function<void(FaultRow&)>& differs = nullptr) {
    FaultRow row;
    row.name = name;
    row.inject = std::move(inject);
    if (differs) differs(row);
    return row;
}

void PrintTo(const FaultRow& row, std::ostream* out) {
    *out << row.name;
}

class FaultInjection : public HalTest, public ::testing::WithParamInterface<FaultRow> {
  public:
    void TearDown() override {
        if (!store_dir.empty()) {
            unsetenv("HAL_SIM_DIR");
            std::error_code ignored;
            fs::remove_all(store_dir, ignored);
        }
        HalTest::TearDown();
    }

    // The calls every row runs, and the log lines they write.
    Lines run_scenario(bool echo_throws) {
        logs.clear();
        EXPECT_EQ(0, lib->SetLedState(0, 0));
        EXPECT_EQ(0, lib->SetLedColor(0, 10));  // steady: saves (0, 1, 10)
        EXPECT_EQ(0, lib->MicSetOnOff(0));
        EXPECT_EQ(0, lib->MicSetVolume(57));
        if (echo_throws) {
            EXPECT_THROW(lib->MicSetEchoLevel(40), hal_sim::ForeignException);
        } else {
            EXPECT_EQ(0, lib->MicSetEchoLevel(40));
        }
        EXPECT_EQ(0, lib->MicSetOnOff(1));
        Lines texts;
        for (const LogLine& line : logs.lines()) texts.push_back(line.text);
        return texts;
    }

    void use_file_store() {
        char pattern[] = "/tmp/hal_fault_store.XXXXXX";
        store_dir = mkdtemp(pattern);
        setenv("HAL_SIM_DIR", store_dir.c_str(), 1);
    }

    std::string store_dir;
};

// What the fault-free run logs, computed once by running it.
Lines baseline_lines() {
    return {
            state_entry_line(0, 0).text,
            kSaveLine.text,
            color_entry_line(0, 10).text,
            kSaveLine.text,
            "hal_mic:HAL_MicSetOnOff v101(MIC=on)",
            kEnablePatchLine.text,
            "hal_mic:HAL_MicSetVolume v101(volume=57)",
            "hal_mic<HAL_MicSetEchoLevel> ..level 40\n",
            "[setEchoDecayWeight] delaytime: 40",
            "hal_mic:HAL_MicSetOnOff v101(MIC=off)",
            kDisablePatchLine.text,
    };
}

// Multiset difference, keeping the order of `from`.
Lines minus(const Lines& from, const Lines& take) {
    Lines rest = from;
    for (const std::string& line : take) {
        const auto it = std::find(rest.begin(), rest.end(), line);
        if (it != rest.end()) rest.erase(it);
    }
    return rest;
}

TEST_P(FaultInjection, LibraryKeepsWorkingAndEndsAsDocumented) {
    const FaultRow& row = GetParam();
    if (row.file_store) use_file_store();
    lib->SaveProperty(1, 200, 0);  // stored before the fault
    __system_property_set("vendor.quorin.other", "keep");
    row.inject(*this);

    const Lines lines = run_scenario(row.echo_throws);
    EXPECT_EQ(row.extra_lines, minus(lines, baseline_lines())) << "lines the fault added";
    EXPECT_EQ(row.missing_lines, minus(baseline_lines(), lines)) << "lines the fault took away";
    EXPECT_EQ(row.saved, saved_triple());
    EXPECT_EQ(row.micstate, property("vendor.quorin.micstate"));
    EXPECT_EQ("keep", property("vendor.quorin.other")) << "an unrelated stored value was lost";

    // With the fault still in place the model is (all, steady): the all-steady rows are skipped.
    sysfs.clear();
    EXPECT_EQ(0, lib->SetLedState(0, 1));
    EXPECT_EQ(0, lib->SetLedState(1, 201));
    EXPECT_TRUE(sysfs.writes().empty());
    // And the library still draws: remote blinking is written to every LED that is there.
    EXPECT_EQ(0, lib->SetLedState(1, 200));
    EXPECT_EQ(row.probe_writes, sysfs.writes().size());
}

const char kTag[] = "hal_frontpanel";

FaultRow led_missing(const char* name, const char* dir, const char* brightness,
                     const char* trigger) {
    return fault(
            name, [dir](FaultInjection& t) { t.sysfs.remove(dir); },
            [brightness, trigger](FaultRow& expected) {
                expected.extra_lines = {
                        open_failure_text(kTag, trigger), open_failure_text(kTag, brightness),
                        open_failure_text(kTag, trigger), open_failure_text(kTag, brightness)};
                expected.probe_writes = 4;
            });
}

const FaultRow kRows[] = {
        led_missing("remote LED missing", "/sys/devices/platform/gpioleds/leds/remote_led",
                    test_paths::kRemoteBrightness, test_paths::kRemoteTrigger),
        led_missing("green LED missing", test_paths::kGreenDir, test_paths::kGreenBrightness,
                    test_paths::kGreenTrigger),
        led_missing("sys LED missing", "/sys/devices/platform/gpioleds/leds/sys_led",
                    test_paths::kSysBrightness, test_paths::kSysTrigger),
        fault(
                "ADC node missing",
                [](FaultInjection& t) {
                    t.sysfs.remove(
                            "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018");
                },
                [](FaultRow& expected) {
                    expected.extra_lines = {open_failure_text("hal_mic", test_paths::kAdcMute),
                                            open_failure_text("hal_mic", test_paths::kAdcVolume),
                                            open_failure_text("hal_mic", test_paths::kAdcMute)};
                }),
        fault(
                "node refuses to open for writing",
                [](FaultInjection& t) { t.sysfs.refuse_open(test_paths::kRemoteTrigger, EACCES); },
                [](FaultRow& expected) {
                    expected.extra_lines = {open_failure_text(kTag, test_paths::kRemoteTrigger),
                                            open_failure_text(kTag, test_paths::kRemoteTrigger)};
                    expected.probe_writes = 5;
                }),
        fault("writes fail with EIO",
              [](FaultInjection& t) {
                  for (const char* path : test_paths::kAllDeviceFiles) {
                      t.sysfs.fail_writes(path, EIO);
                  }
              }),
        fault("short writes",
              [](FaultInjection& t) {
                  for (const char* path : test_paths::kAllDeviceFiles) {
                      t.sysfs.short_writes(path, 1);
                  }
              }),
        fault(
                "store directory not writable",
                [](FaultInjection& t) {
                    // The change is written to a temporary file first; a directory in its place
                    // stops it for root as well.
                    fs::create_directory(t.store_dir + "/properties.tmp." +
                                         std::to_string(getpid()));
                },
                [](FaultRow& expected) {
                    expected.file_store = true;
                    // The patch state cannot be recorded, so muting finds no patch to release:
                    // the property's result is not examined by the audio path.
                    expected.missing_lines = {kDisablePatchLine.text};
                    expected.saved = "1,200,0";
                    expected.micstate = "<unset>";
                }),
        fault(
                "store file corrupted",
                [](FaultInjection& t) {
                    std::ofstream(t.store_dir + "/properties")
                            << "vendor.quorin.other=keep\n\x01\x02garbage\nvendor.quorin.ledindex\n"
                            << "=x\nvendor.quorin.micstate=" << std::string(300, '1') << "\ntorn=";
                },
                [](FaultRow& expected) { expected.file_store = true; }),
        fault(
                "setProperty fails",
                [](FaultInjection&) {
                    hal_sim::ClientControl failing;
                    failing.set_fails = true;
                    hal_sim::set_client_control(failing);
                },
                [](FaultRow& expected) { expected.saved = "1,200,0"; }),
        fault(
                "no client from getInstance",
                [](FaultInjection& t) {
                    // A fresh load, so that the library has not kept the client of the pre-store.
                    t.lib.restart();
                    hal_sim::ClientControl absent;
                    absent.available = false;
                    hal_sim::set_client_control(absent);
                },
                [](FaultRow& expected) {
                    const std::string skipped =
                            "hal_frontpanel<save_property> no system control client, property "
                            "access skipped\n";
                    expected.extra_lines = {skipped, skipped};
                    expected.missing_lines = {kSaveLine.text, kSaveLine.text};
                    expected.saved = "1,200,0";
                }),
        fault(
                "setParameters returns -22",
                [](FaultInjection&) {
                    hal_sim::set_parameter_fault(hal_sim::ParameterFault::kStatus, -22);
                },
                [](FaultRow& expected) {
                    expected.extra_lines = {"Failed to set parameters: status=-22",
                                            "Exception caught: Failed to set audio parameters"};
                }),
        fault(
                "setParameters throws a std::exception",
                [](FaultInjection&) {
                    hal_sim::set_parameter_fault(hal_sim::ParameterFault::kStdException);
                },
                [](FaultRow& expected) {
                    expected.extra_lines = {"Exception caught: simulated port failure"};
                }),
        fault(
                "setParameters throws something else",
                [](FaultInjection&) {
                    hal_sim::set_parameter_fault(hal_sim::ParameterFault::kForeignException, 9);
                },
                [](FaultRow& expected) { expected.echo_throws = true; }),
};

INSTANTIATE_TEST_SUITE_P(FaultInjectionOneEach, FaultInjection, ::testing::ValuesIn(kRows),
                         CaseName());

}  // namespace
