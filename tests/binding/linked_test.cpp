// SPDX-License-Identifier: Apache-2.0
// An executable linked against the library, built without position independence: it defines a
// save_property of its own, which must not take the library's calls, and its use of
// android::aml_audioport is a copy relocation, which the library must share.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "AmlAudioOutPort.h"
#include "expected_lines.h"
#include "fake_sysfs.h"
#include "hal_sim/hal_sim.h"
#include "log_capture.h"
#include "quorin_hal.h"

namespace {

int executable_saves = 0;

}  // namespace

extern "C" void save_property(int /*led_index*/, int /*led_state*/, int /*color*/) {
    ++executable_saves;
}

namespace {

class InternalCallsLinked : public ::testing::Test {
  protected:
    void SetUp() override {
        hal_sim::clear_properties();
        executable_saves = 0;
    }
    fake_sysfs::Sandbox sysfs;
    LogCapture logs;
};

std::string saved(const char* key) {
    const auto all = hal_sim::properties();
    const auto it = all.find(key);
    return it == all.end() ? "<unset>" : it->second;
}

TEST_F(InternalCallsLinked, ExecutablesSavePropertyDoesNotTakeTheLibrarysCalls) {
    EXPECT_EQ(0, HAL_FrontPanelSetLedState(0, 0));
    EXPECT_EQ(0, HAL_FrontPanelSetLedState(0, 1));
    EXPECT_EQ(0, executable_saves);
    EXPECT_EQ("1", saved("vendor.quorin.ledstate"));
    EXPECT_EQ("10", saved("vendor.quorin.ledcolor"));
}

void* object_base(const void* address) {
    Dl_info info{};
    return dladdr(address, &info) != 0 ? info.dli_fbase : nullptr;
}

// The port object is the one the executable sees: the library built it into the executable's
// copy at load, and reads that copy when it sends a parameter.
TEST_F(InternalCallsLinked, PortObjectIsTheExecutablesCopy) {
    ASSERT_EQ(object_base(reinterpret_cast<const void*>(&object_base)),
              object_base(&android::aml_audioport))
            << "android::aml_audioport is not copied into the executable: nothing to check";
    ASSERT_NE(nullptr, android::aml_audioport.get()) << "the library did not fill the copy";

    const android::sp<android::AmlAudioOutPort> port = android::aml_audioport;
    android::aml_audioport.clear();
    setEchoDecayWeight(10);
    android::aml_audioport = port;
    EXPECT_EQ((LogLine{kDebug, "audio_patch", "Error: android::aml_audioport is null"}),
              logs.lines().at(1));
}

}  // namespace
