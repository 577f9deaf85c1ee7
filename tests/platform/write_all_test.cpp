// Writing a whole block to a descriptor that takes it in pieces.
#include "platform/write_all.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>

namespace zarvo {
namespace {

// Catches a loop that stops after the first short write or gives up on a full non-blocking
// pipe: a block several times the pipe's size must arrive whole and in order.
TEST(WriteAll, BlockLargerThanThePipeArrivesWhole) {
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_NONBLOCK), 0);
    std::string block(1 << 20, '\0');
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = char(i * 7 + i / 251);
    std::string got;
    std::thread reader([&] {
        int flags = fcntl(fds[0], F_GETFL);
        fcntl(fds[0], F_SETFL, flags & ~O_NONBLOCK);
        char buffer[4096];
        for (;;) {
            ssize_t n = read(fds[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, std::size_t(n));
        }
    });
    EXPECT_TRUE(WriteAll(fds[1], block));
    close(fds[1]);
    reader.join();
    close(fds[0]);
    EXPECT_EQ(got.size(), block.size());
    EXPECT_TRUE(got == block) << "the bytes arrived out of order or changed";
}

// Catches a failure reported as success: with no reader left the write fails.
TEST(WriteAll, FailureIsReported) {
    struct sigaction ignore {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &old);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    errno = 0;
    EXPECT_FALSE(WriteAll(fds[1], std::string_view("lost")));
    EXPECT_EQ(errno, EPIPE);
    close(fds[1]);
    sigaction(SIGPIPE, &old, nullptr);
    EXPECT_FALSE(WriteAll(-1, std::string_view("x"))) << "a closed descriptor";
    EXPECT_TRUE(WriteAll(-1, std::string_view())) << "nothing to write is no failure";
}

} // namespace
} // namespace zarvo
