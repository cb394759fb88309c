// The board served on a real pseudo-terminal, reached with plain POSIX calls on the slave.

#include "sim/virtual_board.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

class Slave {
  public:
    explicit Slave(const std::string &path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios t{};
        if (fd_ >= 0 && tcgetattr(fd_, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~Slave() {
        if (fd_ >= 0)
            close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    void write(const Bytes &bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }

    // Reads until count bytes came, the limit passed, or the line ended (sets ended).
    Bytes read(size_t count, std::chrono::milliseconds limit, bool *ended = nullptr) {
        Bytes out;
        const auto end = Clock::now() + limit;
        while (out.size() < count && Clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            uint8_t buffer[4096];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0 || (p.revents & POLLHUP)) {
                if (n > 0)
                    out.insert(out.end(), buffer, buffer + n);
                if (ended)
                    *ended = true;
                break;
            }
            out.insert(out.end(), buffer, buffer + n);
        }
        return out;
    }

  private:
    int fd_ = -1;
};

TEST(PtyServer, AnswersFramesAndStreamsItemsOnTheSlave) {
    sim::VirtualBoard board(sim::Chip::VXC5480);
    board.setPacing(sim::Pacing::None);
    ASSERT_TRUE(board.start());
    Slave slave(board.portPath());
    ASSERT_TRUE(slave.ok());

    // The CR and LF values in the frame prove the line is raw.
    slave.write({0x55, 0x01, 0x01, 0x05, 0x0D, 0xEC});
    EXPECT_EQ(slave.read(3, std::chrono::seconds(5)), (Bytes{0x00, 0x00, 0x13}));
    EXPECT_EQ(board.registerValue(0x05), 0x0D);
    board.setRegisterValue(0x0A, 0x0A);
    slave.write({0x55, 0x01, 0x02, 0x0A, 0x00, 0xF3});
    EXPECT_EQ(slave.read(3, std::chrono::seconds(5)), (Bytes{0x00, 0x0A, 0x16}));

    board.clearReceivedFrames();
    slave.write({0x55, 0x01, 0x0F, 0x13, 0x88, 0x55}); // 5000 items, more than the pty holds
    const Bytes items = slave.read(20000, std::chrono::seconds(10));
    ASSERT_EQ(items.size(), 20000u);
    EXPECT_EQ(board.sentItemBytes(), items);
    ASSERT_EQ(board.receivedFrames().size(), 1u);
    EXPECT_EQ(board.receivedFrames()[0][2], 0x0F);
}

TEST(PtyServer, StopsPromptlyAndServesAgainAfterTheProgramReopens) {
    sim::VirtualBoard board(sim::Chip::VXC5420);
    ASSERT_TRUE(board.start());
    {
        Slave first(board.portPath());
        first.write({0x55, 0x02, 0xF0, 0x00, 0x00, 0x0F});
        EXPECT_EQ(first.read(3, std::chrono::seconds(5)), (Bytes{0x00, 0x00, 0xF0}));
    }
    {
        Slave second(board.portPath());
        second.write({0x55, 0x02, 0x0D, 0x03, 0x00, 0xEF});
        EXPECT_EQ(second.read(3, std::chrono::seconds(5)), (Bytes{0x00, 0x00, 0x10}));
    }
    const auto before = Clock::now();
    board.stop();
    EXPECT_LT(Clock::now() - before, std::chrono::seconds(2)) << "stop() must not hang";
}

TEST(PtyServer, HangUpEndsTheLineAfterTheGivenItems) {
    sim::VirtualBoard board(sim::Chip::VXC5480);
    board.setPacing(sim::Pacing::None);
    sim::Faults faults;
    faults.hangUpAfterItems = 3;
    board.setFaults(faults);
    ASSERT_TRUE(board.start());
    Slave slave(board.portPath());
    slave.write({0x55, 0x01, 0x0F, 0x00, 0x0A, 0xE6});
    bool ended = false;
    const Bytes items = slave.read(40, std::chrono::seconds(5), &ended);
    EXPECT_EQ(items.size(), 12u) << "the items before the hang-up still arrive";
    EXPECT_TRUE(ended);
    EXPECT_EQ(board.sentItemBytes(), items);
    EXPECT_FALSE(board.start()) << "a board that hung up stays down";
}

TEST(PtyServer, FaultsChangeWhileServing) {
    sim::VirtualBoard board(sim::Chip::VXC5480);
    board.setPacing(sim::Pacing::None);
    ASSERT_TRUE(board.start());
    Slave slave(board.portPath());
    sim::Faults faults;
    faults.silent = true;
    board.setFaults(faults);
    slave.write({0x55, 0x01, 0xF0, 0x00, 0x00, 0x0F});
    EXPECT_TRUE(slave.read(3, std::chrono::milliseconds(150)).empty());
    board.setFaults(sim::Faults{});
    slave.write({0x55, 0x01, 0xF0, 0x00, 0x00, 0x0F});
    EXPECT_EQ(slave.read(3, std::chrono::seconds(5)), (Bytes{0x00, 0x00, 0xF0}));
    EXPECT_EQ(board.receivedFrames().size(), 2u);
}

} // namespace
