// Load and unload order of the library's load-time objects, with a real dlopen and dlclose:
// the client lock before the audio port at load; at unload the port, then the client, then the
// lock.
#include "hal_test.h"
#include "mutex_probe.h"

namespace {

class LoadOrderTest : public HalTest {
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

TEST_F(LoadOrderTest, LockFirstThenPortAtLoadAndTheReverseAtUnload) {
    {
        MutexProbe probe;
        lib.load();
    }
    EXPECT_EQ((std::vector<std::string>{"lock.created", "port.created"}), hal_sim::journal());

    lib.SaveProperty(0, 1, 10);  // the library now holds the client
    hal_sim::clear_journal();
    {
        MutexProbe probe;
        lib.unload();
    }
    EXPECT_EQ((std::vector<std::string>{"port.destroyed", "client.destroyed", "lock.destroyed"}),
              hal_sim::journal());
    EXPECT_FALSE(HalLibrary::resident());
}

TEST_F(LoadOrderTest, ManyCyclesEachBuildAndReleaseOnePort) {
    for (int i = 0; i < 20; ++i) {
        lib.load();
        lib.MicSetEchoLevel(i);
        lib.SaveProperty(i, i, i);
        lib.unload();
    }
    int created = 0;
    int destroyed = 0;
    int clients = 0;
    for (const auto& event : hal_sim::journal()) {
        created += event == "port.created";
        destroyed += event == "port.destroyed";
        clients += event == "client.destroyed";
    }
    EXPECT_EQ(20, created);
    EXPECT_EQ(20, destroyed);
    EXPECT_EQ(20, clients);
}

}  // namespace
