// SPDX-License-Identifier: Apache-2.0
// Reading a halctl script: all of it, or nothing and the reason; never more than the limit.
// read() is interposed here so that it can fail part-way through a script.
#include "script_source.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <thread>

#include "temp_dir.h"

namespace {

// Reads of `fd` deliver `good_bytes`, then fail once with `error` (EINTR) or for good.
struct ReadFault {
    int fd = -1;
    size_t good_bytes = 0;
    int error = 0;
    size_t delivered = 0;
};
ReadFault read_fault;

using ReadFn = ssize_t (*)(int, void*, size_t);

ssize_t faulty_read(ReadFn real_read, int fd, void* buffer, size_t count) {
    ReadFault& fault = read_fault;
    if (fd != fault.fd) return real_read(fd, buffer, count);
    if (fault.delivered >= fault.good_bytes) {
        errno = fault.error;
        if (fault.error == EINTR) fault.fd = -1;
        return -1;
    }
    const ssize_t n = real_read(fd, buffer, std::min(count, fault.good_bytes - fault.delivered));
    if (n > 0) fault.delivered += static_cast<size_t>(n);
    return n;
}

}  // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    static const auto real_read = reinterpret_cast<ReadFn>(dlsym(RTLD_NEXT, "read"));
    return faulty_read(real_read, fd, buffer, count);
}

namespace {

// `lines` copies of `line` in dir/script, cut to `size` bytes if that is smaller.
std::string script_file(const std::string& dir, const std::string& line, size_t lines,
                        size_t size = SIZE_MAX) {
    std::string text;
    for (size_t i = 0; i < lines; ++i) text += line;
    text.resize(std::min(size, text.size()));
    std::string path = dir + "/script";
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

class HalctlScriptSource : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.empty());
        read_fault = {};
    }
    void TearDown() override {
        read_fault = {};
    }

    TempDir temp_{"halctl_script"};
    const std::string dir_ = temp_.path();
    std::string text_ = "not cleared";
    std::string error_;
};

TEST_F(HalctlScriptSource, ReadsAScriptWholeUpToTheLimit) {
    for (const size_t size : {size_t{0}, size_t{100}, size_t{200000}, kMaxScriptBytes}) {
        const std::string path =
                script_file(dir_, "mic volume 57\n", kMaxScriptBytes / 14 + 1, size);
        std::ifstream in(path, std::ios::binary);
        const std::string expected((std::istreambuf_iterator<char>(in)), {});
        ASSERT_EQ(size, expected.size());
        EXPECT_TRUE(read_script_file(path, &text_, &error_)) << size << ": " << error_;
        EXPECT_EQ(expected, text_) << size;
    }
}

TEST_F(HalctlScriptSource, ReadsAPipeFedInPieces) {
    int pipe_fds[2];
    ASSERT_EQ(0, pipe2(pipe_fds, O_CLOEXEC));
    const std::string piece(50000, 'x');
    std::thread writer([&] {
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(50000, write(pipe_fds[1], piece.data(), piece.size()));
        close(pipe_fds[1]);
    });
    EXPECT_TRUE(read_script(pipe_fds[0], &text_, &error_)) << error_;
    writer.join();
    close(pipe_fds[0]);
    EXPECT_EQ(piece + piece + piece, text_);
}

TEST_F(HalctlScriptSource, InterruptedReadIsResumed) {
    const std::string path = script_file(dir_, "mic volume 57\n", 1000);
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    read_fault = {fd, 4096, EINTR};
    EXPECT_TRUE(read_script(fd, &text_, &error_)) << error_;
    close(fd);
    EXPECT_EQ(14000u, text_.size());
}

// Where the script comes from: an open descriptor, or (fd -1) a file name.
struct Source {
    int fd = -1;
    std::string file;
};

// Every way of not getting the whole script: nothing is returned to run, and the reason.
struct Refusal {
    const char* name;
    std::function<Source(const std::string& dir)> source;
    std::string error;
};

std::ostream& operator<<(std::ostream& out, const Refusal& refusal) {
    return out << refusal.name;
}

const std::string kTooLarge = "larger than 1048576 bytes, the limit of a script";

const Refusal kRefusals[] = {
        {"Directory",
         [](const std::string& dir) {
             return Source{-1, dir};
         },
         "cannot read: Is a directory"},
        {"Missing",
         [](const std::string& dir) {
             return Source{-1, dir + "/missing"};
         },
         "cannot read: No such file or directory"},
        {"ClosedDescriptor",
         [](const std::string&) {
             const int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
             close(fd);
             return Source{fd, ""};
         },
         "cannot read: Bad file descriptor"},
        {"ReadErrorPartWay",
         [](const std::string& dir) {
             const std::string path = script_file(dir, "mic volume 57\n", 1000);
             const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
             read_fault = {fd, 4096, EIO};
             return Source{fd, ""};
         },
         "cannot read: Input/output error"},
        {"OneByteOverTheLimit",
         [](const std::string& dir) {
             return Source{-1, script_file(dir, "led init\n", kMaxScriptBytes / 9 + 1,
                                           kMaxScriptBytes + 1)};
         },
         kTooLarge},
        {"EndlessInput",
         [](const std::string&) {
             return Source{-1, "/dev/zero"};
         },
         kTooLarge},
};

class HalctlScriptRefusal : public HalctlScriptSource,
                            public ::testing::WithParamInterface<Refusal> {};

TEST_P(HalctlScriptRefusal, ReturnsNothingAndSaysWhy) {
    const Source source = GetParam().source(dir_);
    const bool read_whole = source.fd >= 0 ? read_script(source.fd, &text_, &error_)
                                           : read_script_file(source.file, &text_, &error_);
    if (source.fd >= 0) close(source.fd);
    EXPECT_FALSE(read_whole);
    EXPECT_EQ("", text_);
    EXPECT_EQ(GetParam().error, error_);
}

INSTANTIATE_TEST_SUITE_P(HalctlScriptRefusalEveryWay, HalctlScriptRefusal,
                         ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
