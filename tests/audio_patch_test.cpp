// SPDX-License-Identifier: Apache-2.0
// The audio path: the recorded patch state, the patch calls, and the echo-decay parameter with
// its failures.
#include <sys/system_properties.h>

#include <stdexcept>

#include "AmlAudioOutPort.h"
#include "hal_test.h"

namespace {

using AudioPatch = HalTest;

LogLine patch_line(const std::string& text) {
    return {kDebug, "audio_patch", text};
}

TEST_F(AudioPatch, RecordedStateIsTheFirstCharacterOnly) {
    const std::pair<const char*, bool> states[] = {
            {"1", true}, {"10", true},  {"1junk", true}, {"0", false},
            {"", false}, {"x1", false}, {" 1", false},   {"2", false},
    };
    EXPECT_FALSE(lib->IsMicAudioPatchEnabled()) << "unset";
    std::vector<std::string> own_sets;
    for (const auto& [value, enabled] : states) {
        __system_property_set("vendor.quorin.micstate", value);
        own_sets.push_back(std::string("property.set vendor.quorin.micstate=") + value);
        EXPECT_EQ(enabled, lib->IsMicAudioPatchEnabled()) << "\"" << value << "\"";
    }
    EXPECT_EQ(own_sets, hal_sim::journal()) << "only the test's own sets";
    EXPECT_TRUE(logs.lines().empty());
}

TEST_F(AudioPatch, EnableMicCreatesThePatchOnlyWhenNoneIsRecorded) {
    EXPECT_EQ(0, lib->EnableMIC());
    EXPECT_EQ(0, lib->EnableMIC());
    EXPECT_EQ((std::vector<std::string>{"port.createAudioPatchTarsk",
                                        "property.set vendor.quorin.micstate=1"}),
              hal_sim::journal());
    EXPECT_EQ("1", property("vendor.quorin.micstate"));
    EXPECT_EQ((std::vector<LogLine>{kEnablePatchLine}), logs.lines());

    __system_property_set("vendor.quorin.micstate", "10");
    hal_sim::clear_journal();
    lib->EnableMIC();
    EXPECT_TRUE(hal_sim::journal().empty()) << "\"10\" counts as enabled";
}

TEST_F(AudioPatch, EnablePatchDirectlyCreatesAgainEvenWhenRecorded) {
    __system_property_set("vendor.quorin.micstate", "1");
    hal_sim::clear_journal();
    EXPECT_EQ(0, lib->EnableMicAudioPatch());
    EXPECT_EQ((std::vector<std::string>{"port.createAudioPatchTarsk",
                                        "property.set vendor.quorin.micstate=1"}),
              hal_sim::journal());
    EXPECT_EQ("1", property("vendor.quorin.micstate"));
    EXPECT_EQ((std::vector<LogLine>{kEnablePatchLine}), logs.lines());
}

// The state says what exists: the patch is created before "1" is recorded, and released before
// "0" is.
TEST_F(AudioPatch, StateIsRecordedAfterThePatchCallInBothDirections) {
    lib->EnableMicAudioPatch();
    lib->DisableMicAudioPatch();
    EXPECT_EQ((std::vector<std::string>{
                      "port.createAudioPatchTarsk", "property.set vendor.quorin.micstate=1",
                      "port.releaseAudioPatchTarsk", "property.set vendor.quorin.micstate=0"}),
              hal_sim::journal());
}

TEST_F(AudioPatch, DisableMicActsOnlyOnARecordedPatch) {
    EXPECT_EQ(0, lib->DisableMIC());
    EXPECT_EQ(0, lib->DisableMicAudioPatch());
    __system_property_set("vendor.quorin.micstate", "0");
    lib->DisableMIC();
    EXPECT_EQ((std::vector<std::string>{"property.set vendor.quorin.micstate=0"}), hal_sim::journal())
            << "only the test's own set";
    EXPECT_TRUE(logs.lines().empty());
    EXPECT_EQ("0", property("vendor.quorin.micstate"));

    __system_property_set("vendor.quorin.micstate", "10");
    hal_sim::clear_journal();
    EXPECT_EQ(0, lib->DisableMIC());
    EXPECT_EQ((std::vector<std::string>{"port.releaseAudioPatchTarsk",
                                        "property.set vendor.quorin.micstate=0"}),
              hal_sim::journal());
    EXPECT_EQ("0", property("vendor.quorin.micstate"));
    EXPECT_EQ((std::vector<LogLine>{kDisablePatchLine}), logs.lines());
}

TEST_F(AudioPatch, EchoDecayWeightReachesThePortAsParameterText) {
    lib->SetEchoDecayWeight(100);
    lib->SetEchoDecayWeight(INT32_MIN);  // not clamped here: that is the caller's business
    EXPECT_EQ((std::vector<std::string>{"port.setParameters audio_echo_decay=100",
                                        "port.setParameters audio_echo_decay=-2147483648"}),
              hal_sim::journal());
    EXPECT_EQ((std::vector<LogLine>{patch_line("[setEchoDecayWeight] delaytime: 100"),
                                    patch_line("[setEchoDecayWeight] delaytime: -2147483648")}),
              logs.lines());
}

struct FaultCase {
    const char* name;
    hal_sim::ParameterFault fault;
    int status;
    std::vector<std::string> lines;  // after the delaytime line
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.name;
}

class AudioPatchEchoFault : public HalTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(AudioPatchEchoFault, FailureIsLoggedAndSwallowed) {
    hal_sim::set_parameter_fault(GetParam().fault, GetParam().status);
    EXPECT_NO_THROW(lib->SetEchoDecayWeight(40));
    std::vector<LogLine> expected = {patch_line("[setEchoDecayWeight] delaytime: 40")};
    for (const auto& text : GetParam().lines) expected.push_back(patch_line(text));
    EXPECT_EQ(expected, logs.lines());

    // The same through the entry point, which keeps its stored level.
    logs.clear();
    EXPECT_EQ(0, lib->MicSetEchoLevel(40));
    EXPECT_EQ(40, lib->MicGetEchoLevel());
}

INSTANTIATE_TEST_SUITE_P(
        AudioPatchPort, AudioPatchEchoFault,
        ::testing::Values(FaultCase{"status -22",
                                    hal_sim::ParameterFault::kStatus,
                                    -22,
                                    {"Failed to set parameters: status=-22",
                                     "Exception caught: Failed to set audio parameters"}},
                          FaultCase{"positive status",
                                    hal_sim::ParameterFault::kStatus,
                                    5,
                                    {"Failed to set parameters: status=5",
                                     "Exception caught: Failed to set audio parameters"}},
                          FaultCase{"std::runtime_error",
                                    hal_sim::ParameterFault::kStdException,
                                    0,
                                    {"Exception caught: simulated port failure"}},
                          FaultCase{"std::bad_alloc",
                                    hal_sim::ParameterFault::kBadAlloc,
                                    0,
                                    {"Exception caught: std::bad_alloc"}},
                          FaultCase{"std::logic_error",
                                    hal_sim::ParameterFault::kLogicError,
                                    0,
                                    {"Exception caught: simulated port misuse"}}),
        CaseName());

TEST_F(AudioPatch, NonStandardExceptionReachesTheCaller) {
    hal_sim::set_parameter_fault(hal_sim::ParameterFault::kForeignException, 7);
    EXPECT_THROW(lib->SetEchoDecayWeight(40), hal_sim::ForeignException);
    EXPECT_EQ((std::vector<LogLine>{patch_line("[setEchoDecayWeight] delaytime: 40")}),
              logs.lines());
    EXPECT_THROW(lib->MicSetEchoLevel(150), hal_sim::ForeignException);
    EXPECT_EQ(100, lib->MicGetEchoLevel()) << "stored before the port was asked";
}

TEST_F(AudioPatch, MissingPortIsLoggedAndSwallowed) {
    android::sp<android::AmlAudioOutPort> saved = *lib->AudioPort;
    lib->AudioPort->clear();
    EXPECT_NO_THROW(lib->SetEchoDecayWeight(10));
    *lib->AudioPort = saved;
    EXPECT_EQ(
            (std::vector<LogLine>{patch_line("[setEchoDecayWeight] delaytime: 10"),
                                  patch_line("Error: android::aml_audioport is null"),
                                  patch_line("Exception caught: android::aml_audioport is null")}),
            logs.lines());
    EXPECT_EQ(std::vector<std::string>{}, hal_sim::journal());
}

}  // namespace
