// SPDX-License-Identifier: Apache-2.0
// The whole write of common/: every byte, or the errno that stopped it and how far it got, so
// that a caller bounding the write in time can poll and go on.
#include "write_all.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <string>

namespace {

TEST(WriteAll, WritesEveryByteOrSaysWhereAndWhyItStopped) {
    int ends[2];
    ASSERT_EQ(0, pipe2(ends, O_CLOEXEC | O_NONBLOCK));
    const long room = fcntl(ends[1], F_GETPIPE_SZ);
    ASSERT_GT(room, 0);
    size_t done = 1;
    EXPECT_EQ(0, write_all(ends[1], "abc", 3, &done));
    EXPECT_EQ(3U, done);
    char read_back[4] = {};
    ASSERT_EQ(3, read(ends[0], read_back, sizeof(read_back)));
    EXPECT_EQ(std::string("abc"), read_back);
    // More than the pipe holds: EAGAIN, with what went in.
    const std::string more(static_cast<size_t>(room) + 100, 'x');
    EXPECT_EQ(EAGAIN, write_all(ends[1], more.data(), more.size(), &done));
    EXPECT_EQ(static_cast<size_t>(room), done);
    // No reader: EPIPE, nothing written.
    close(ends[0]);
    const sighandler_t earlier = signal(SIGPIPE, SIG_IGN);
    EXPECT_EQ(EPIPE, write_all(ends[1], "a", 1, &done));
    EXPECT_EQ(0U, done);
    (void)signal(SIGPIPE, earlier);
    close(ends[1]);
    EXPECT_EQ(EBADF, write_all(ends[1], "a", 1));
    EXPECT_EQ(0, write_all(-1, "", 0));  // nothing to write is all written
}

}  // namespace
