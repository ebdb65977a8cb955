// SPDX-License-Identifier: Apache-2.0
// Load and unload order of the library's load-time objects, with a real dlopen and dlclose:
// the client lock before the audio port at load; at unload the port, then the client, then the
// lock.
#include "hal_test.h"
#include "mutex_probe.h"
#include "reliability_runs.h"

namespace {

class LifecycleLoadOrder : public HalTest {
  protected:
    void SetUp() override {
        HalTest::SetUp();
        lib.unload();
        hal_sim::ClientControl unretained;  // so the client's end is visible at unload
        unretained.retained = false;
        hal_sim::set_client_control(unretained);
        hal_sim::clear_journal();
    }
};

TEST_F(LifecycleLoadOrder, LockFirstThenPortAtLoadAndTheReverseAtUnload) {
    {
        MutexProbe probe;
        lib.load();
    }
    EXPECT_EQ((std::vector<std::string>{"lock.created", "port.created"}), hal_sim::journal());

    lib->SaveProperty(0, 1, 10);  // the library now holds the client
    hal_sim::clear_journal();
    {
        MutexProbe probe;
        lib.unload();
    }
    EXPECT_EQ((std::vector<std::string>{"port.destroyed", "client.destroyed", "lock.destroyed"}),
              hal_sim::journal());
    EXPECT_FALSE(HalLibrary::resident());
}

// Also run under valgrind by CTest: no error and no leak over a hundred cycles with calls.
TEST_F(LifecycleLoadOrder, HundredCyclesWithCallsKeepTheOrder) {
    for (int cycle = 0; cycle < kLoadCycles; ++cycle) {
        hal_sim::clear_journal();
        {
            MutexProbe probe;
            lib.load();
        }
        lib->Init();
        lib->SetLedState(cycle % 2, cycle % 2 == 0 ? 0 : 200);
        lib->SetLedColor(cycle, cycle % 11);
        lib->MicSetOnOff(cycle % 2);
        lib->MicSetVolume(cycle);
        lib->MicSetEchoLevel(cycle);
        lib->GetProperty();
        hal_sim::clear_journal();
        {
            MutexProbe probe;
            lib.unload();
        }
        ASSERT_EQ((std::vector<std::string>{"port.destroyed", "client.destroyed", "lock.destroyed"}),
                  hal_sim::journal())
                << "cycle " << cycle;
    }
}

}  // namespace
