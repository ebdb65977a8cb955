// SPDX-License-Identifier: Apache-2.0
// dump() against callers that do not read as dumpsys does: a reader gone, a pipe nobody empties,
// a reader that takes the text a little at a time.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <future>
#include <string>
#include <thread>

#include "service_fixture.h"

namespace {

constexpr const char* kTag = "vendor.quorin.hal-service";
constexpr int kWarn = 5;
// Only a bound for a hang: a service that blocks fails the test instead of stopping the suite.
constexpr std::chrono::seconds kHang{20};

class Pipe {
  public:
    Pipe() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) == 0) {
            read_end = fds[0];
            write_end = fds[1];
        }
    }
    ~Pipe() {
        close_read();
        close_write();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    void close_read() {
        if (read_end >= 0) close(read_end);
        read_end = -1;
    }
    void close_write() {
        if (write_end >= 0) close(write_end);
        write_end = -1;
    }
    // Whatever the pipe holds now, without waiting.
    std::string drain() const {
        std::string text;
        char buffer[4096];
        const int flags = fcntl(read_end, F_GETFL);
        fcntl(read_end, F_SETFL, flags | O_NONBLOCK);
        for (ssize_t got = 0; (got = read(read_end, buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<size_t>(got));
        }
        fcntl(read_end, F_SETFL, flags);
        return text;
    }

    int read_end = -1;
    int write_end = -1;
};

using ServiceDumpTest = ServiceTest;

// dumpsys gave up and closed its end: the dump answers the write's error, EPIPE, as the NDK's
// dump does, and the process goes on serving (no SIGPIPE).
TEST_F(ServiceDumpTest, ReaderGoneIsAnErrorAndTheServiceGoesOn) {
    ASSERT_TRUE(start_service());
    Pipe pipe;
    ASSERT_GE(pipe.write_end, 0);
    pipe.close_read();
    logs.clear();
    EXPECT_EQ(client()->dump(pipe.write_end, nullptr, 0), -EPIPE);
    EXPECT_EQ(
            service_lines(logs.lines()),
            (std::vector<LogLine>{
                    {kWarn, kTag, "dump: writing to the caller's descriptor failed: Broken pipe"}}));
    int32_t volume = -1;
    EXPECT_TRUE(client()->getMicVolume(&volume).isOk());
}

// A caller whose pipe is full and never read: the dump gives up after its timeout, and the one
// binder thread is free for the next client.
TEST_F(ServiceDumpTest, FullPipeNobodyReadsStallsNoOtherClient) {
    ASSERT_TRUE(start_service());
    Pipe pipe;
    ASSERT_GE(pipe.write_end, 0);
    fcntl(pipe.write_end, F_SETFL, O_NONBLOCK);
    const std::string fill(4096, 'f');
    while (write(pipe.write_end, fill.data(), fill.size()) > 0) {
    }
    fcntl(pipe.write_end, F_SETFL, 0);  // blocking again, as dumpsys's pipe is
    const auto hal = client();
    logs.clear();
    auto calls = std::async(std::launch::async, [&] {
        const binder_status_t dumped = hal->dump(pipe.write_end, nullptr, 0);
        int32_t volume = -1;
        const bool served = hal->getMicVolume(&volume).isOk();
        return std::make_pair(dumped, served);
    });
    if (calls.wait_for(kHang) != std::future_status::ready) {
        while (calls.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
            pipe.drain();
        }
        ADD_FAILURE() << "the dump blocked the service on a pipe nobody reads";
    }
    const auto [dumped, served] = calls.get();
    EXPECT_EQ(dumped, -ETIMEDOUT);
    EXPECT_TRUE(served);
    EXPECT_EQ(service_lines(logs.lines()),
              (std::vector<LogLine>{
                      {kWarn, kTag,
                       "dump: the caller's descriptor did not take the text within 50 ms"}}));
}

// A reader that takes the text a little at a time from a one-page pipe whose writes do not
// block: every byte arrives, in order, though the text is longer than the pipe.
TEST_F(ServiceDumpTest, TextLongerThanThePipeArrivesWhole) {
    // An ADC driver answering a long text makes the dump longer than the pipe.
    const std::string long_text(20000, 'v');
    std::ofstream(sysfs.root() + test_paths::kAdcVolume) << long_text;
    options.dump_timeout = kHang;
    ASSERT_TRUE(start_service());
    const std::string whole = dump_text();
    ASSERT_NE(whole.find(long_text), std::string::npos) << whole.substr(0, 200);
    Pipe pipe;
    ASSERT_GE(pipe.write_end, 0);
    ASSERT_EQ(fcntl(pipe.write_end, F_SETPIPE_SZ, 4096), 4096);
    fcntl(pipe.write_end, F_SETFL, O_NONBLOCK);
    auto received = std::async(std::launch::async, [&] {
        std::string text;
        char buffer[512];
        for (ssize_t got = 0; (got = read(pipe.read_end, buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<size_t>(got));
        }
        return text;
    });
    EXPECT_EQ(client()->dump(pipe.write_end, nullptr, 0), STATUS_OK);
    pipe.close_write();
    EXPECT_EQ(received.get(), whole);
}

}  // namespace
