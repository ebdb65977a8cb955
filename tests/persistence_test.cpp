// SPDX-License-Identifier: Apache-2.0
// The LED triple in system properties and the lazily obtained system-control client.
#include <sys/system_properties.h>

#include <algorithm>
#include <thread>

#include "hal_test.h"

namespace {

using Persistence = HalTest;

LogLine skip_line(const char* function) {
    return {kDebug, "hal_frontpanel",
            std::string("hal_frontpanel<") + function +
                    "> no system control client, property access skipped\n"};
}

TEST_F(Persistence, SavePropertyWritesShortestDecimalText) {
    const struct {
        int index, state, color;
        const char* saved;
    } cases[] = {
            {-1, 0, 10, "-1,0,10"},
            {INT32_MIN, INT32_MAX, 0, "-2147483648,2147483647,0"},
            {7, 2, 1000000, "7,2,1000000"},
    };
    for (const auto& c : cases) {
        logs.clear();
        lib->SaveProperty(c.index, c.state, c.color);
        EXPECT_EQ(c.saved, saved_triple());
        EXPECT_EQ((std::vector<LogLine>{kSaveLine}), logs.lines());
    }
}

TEST_F(Persistence, ClientIsObtainedOnceAndKeptUntilUnload) {
    lib->SaveProperty(1, 2, 3);
    lib->SaveProperty(4, 5, 6);
    lib->GetProperty();
    lib->Init();
    EXPECT_EQ(1, hal_sim::instance_requests());
    lib.restart();
    lib->SaveProperty(1, 2, 3);
    EXPECT_EQ(2, hal_sim::instance_requests()) << "a new load asks again";
}

TEST_F(Persistence, GetPropertyLogsTheTripleWithZeroDefaults) {
    lib->GetProperty();
    lib->SaveProperty(0, 220, 1);
    lib->GetProperty();
    __system_property_set("vendor.quorin.ledstate", "junk");
    lib->GetProperty();
    const std::vector<LogLine> expected = {
            {kDebug, "hal_frontpanel", "hal_frontpanel<get_property> in get_property <0><0><0>..\n"},
            kSaveLine,
            {kDebug, "hal_frontpanel",
             "hal_frontpanel<get_property> in get_property <0><220><1>..\n"},
            {kDebug, "hal_frontpanel", "hal_frontpanel<get_property> in get_property <0><0><1>..\n"},
    };
    EXPECT_EQ(expected, logs.lines());
    EXPECT_TRUE(sysfs.writes().empty());
}

TEST_F(Persistence, NoClientSkipsPropertyAccessAndAsksAgainLater) {
    hal_sim::ClientControl absent;
    absent.available = false;
    hal_sim::set_client_control(absent);
    lib->SaveProperty(0, 0, 2);
    lib->GetProperty();
    EXPECT_EQ(0, lib->Init());
    EXPECT_EQ(0, lib->SetLedState(0, 1));  // drawn, but not saved
    const std::vector<LogLine> expected = {
            skip_line("save_property"),
            skip_line("get_property"),
            {kDebug, "hal_frontpanel", "hal_frontpanel<HAL_FrontPanelInit> ..\n"},
            skip_line("HAL_FrontPanelInit"),
            state_entry_line(0, 1),
            skip_line("save_property"),
    };
    EXPECT_EQ(expected, logs.lines());
    EXPECT_EQ(6u, sysfs.writes().size());
    EXPECT_EQ("<unset>,<unset>,<unset>", saved_triple());
    EXPECT_EQ(4, hal_sim::instance_requests());

    hal_sim::set_client_control({});
    lib->SaveProperty(0, 1, 10);
    EXPECT_EQ("0,1,10", saved_triple());
    EXPECT_EQ(5, hal_sim::instance_requests());
}

TEST_F(Persistence, ConcurrentSavesObtainTheClientExactlyOnce) {
    hal_sim::ClientControl slow;
    slow.instance_delay_us = 20000;  // a wide window for a second getInstance() to slip in
    hal_sim::set_client_control(slow);
    std::vector<std::thread> threads;
    threads.reserve(16);
    for (int i = 0; i < 16; ++i) threads.emplace_back([this, i] { lib->SaveProperty(i, i, i); });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(1, hal_sim::instance_requests());
    EXPECT_EQ(48u, set_property_calls().size());
}

// getInstance() yields no client to the first caller and one to the next: the save that found
// none skips, every other one saves, and no thread reads the client while another fills it
// (ThreadSanitizer checks the last).
TEST_F(Persistence, ConcurrentSavesWithTheClientAbsentAtFirst) {
    hal_sim::ClientControl late;
    late.absent_requests = 1;
    hal_sim::set_client_control(late);
    constexpr int kThreads = 8;
    std::vector<std::thread> threads;
    threads.reserve(kThreads);
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([this, i] { lib->SaveProperty(i, i, i); });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(2, hal_sim::instance_requests());
    const std::vector<LogLine> lines = logs.lines();
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), skip_line("save_property")));
    EXPECT_EQ(kThreads - 1, std::count(lines.begin(), lines.end(), kSaveLine));
    EXPECT_EQ(3u * (kThreads - 1), set_property_calls().size());
}

TEST_F(Persistence, ClientNotRetainedByTheServiceDiesWithTheLibrary) {
    hal_sim::ClientControl unretained;
    unretained.retained = false;
    hal_sim::set_client_control(unretained);
    lib->SaveProperty(1, 1, 1);
    hal_sim::clear_journal();
    lib.unload();
    EXPECT_EQ((std::vector<std::string>{"port.destroyed", "client.destroyed"}), hal_sim::journal());
}

TEST_F(Persistence, RetainedClientOutlivesTheLibrary) {
    lib->SaveProperty(1, 1, 1);
    hal_sim::clear_journal();
    lib.unload();
    EXPECT_EQ((std::vector<std::string>{"port.destroyed"}), hal_sim::journal());
}

}  // namespace
