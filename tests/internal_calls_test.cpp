// SPDX-License-Identifier: Apache-2.0
// The library's calls of its own entry points reach its own code, even when another object
// loaded earlier into the global scope defines the same names.
#include <dlfcn.h>

#include "hal_test.h"
#include "led_writes.h"

namespace {

class InternalCalls : public HalTest {
  protected:
    void SetUp() override {
        HalTest::SetUp();
        lib.unload();
        rival_ = dlopen(RIVAL_ENTRY_POINTS_PATH, RTLD_NOW | RTLD_GLOBAL);
        ASSERT_NE(nullptr, rival_) << dlerror();
        lib.load();
        hal_sim::clear_journal();
    }
    void TearDown() override {
        HalTest::TearDown();
        if (rival_ != nullptr) dlclose(rival_);
    }

    // The journal without the events of the rival definitions.
    static std::vector<std::string> rival_calls() {
        std::vector<std::string> calls;
        for (const std::string& event : hal_sim::journal()) {
            if (event.rfind("rival.", 0) == 0) calls.push_back(event);
        }
        return calls;
    }

  private:
    void* rival_ = nullptr;
};

TEST_F(InternalCalls, LedRequestsSaveThroughTheLibrarysOwnSaveProperty) {
    lib->SetLedState(0, 0);
    lib->SetLedColor(0, 10);
    EXPECT_EQ("0,1,10", saved_triple());
    EXPECT_EQ(std::vector<std::string>{}, rival_calls());
}

TEST_F(InternalCalls, InitReplaysThroughTheLibrarysOwnLedStateRequest) {
    lib->SaveProperty(0, 220, 1);
    sysfs.clear();
    lib->Init();
    EXPECT_EQ(pattern("none", "0", "0", "1"), sysfs.writes());
    EXPECT_EQ(std::vector<std::string>{}, rival_calls());
}

TEST_F(InternalCalls, MicrophoneCallsReachTheLibrarysOwnAudioPath) {
    lib->MicSetOnOff(0);
    lib->MicSetEchoLevel(40);
    lib->MicSetOnOff(1);
    lib->EnableMIC();
    lib->DisableMIC();
    const std::string mute = "write " + std::string(test_paths::kAdcMute);
    EXPECT_EQ((std::vector<std::string>{
                      mute + " 0", "port.createAudioPatchTarsk",
                      "property.set vendor.quorin.micstate=1",
                      "port.setParameters audio_echo_decay=40", mute + " 1",
                      "port.releaseAudioPatchTarsk", "property.set vendor.quorin.micstate=0",
                      "port.createAudioPatchTarsk", "property.set vendor.quorin.micstate=1",
                      "port.releaseAudioPatchTarsk", "property.set vendor.quorin.micstate=0"}),
              hal_sim::journal());
}

}  // namespace
