// The three exchanges over a real pty: the bytes that go out, what comes back, and every way
// a reply can go wrong.

#include "link_fixture.h"

#include "link/frames.h"

#include <QDeadlineTimer>
#include <QSerialPort>

namespace {

// Waits until the program's port holds count bytes that nobody has read: bytes the board wrote
// reach the other end of a pty a little later.
bool PortHolds(BoardLink &link, qint64 count) {
    const QDeadlineTimer deadline(kEventWaitLimitMs);
    while (link.bytesWaiting() < count && !deadline.hasExpired())
        link.waitForBytes(static_cast<int>(deadline.remainingTime()));
    return link.bytesWaiting() >= count;
}

TEST_F(LinkTest, ClosedPortFailsAtOnceWithNoPort) {
    connectBoard();
    link().close();
    uint8_t buffer[3] = {1, 2, 3};
    const uint8_t frame[6] = {0x55, 1, 0xF0, 0, 0, 0x0F};
    EXPECT_EQ(link().writeFrame(frame, 3000), result::kNoPort);
    EXPECT_EQ(link().readBytes(buffer, 3), result::kNoPort);
    EXPECT_EQ(buffer[0], 1);
    uint8_t value = 0x42;
    EXPECT_EQ(ReadRegister(link(), 0, value), result::kNoPort);
    EXPECT_EQ(value, 0x42);
}

TEST_F(LinkTest, RegisterWriteThenReadBackOverTheWire) {
    sim::VirtualBoard &board = connectBoard();
    platform::MessageRecorder messages;

    ASSERT_EQ(WriteRegister(link(), 0x05, 0x12), result::kOk);
    uint8_t value = 0;
    ASSERT_EQ(ReadRegister(link(), 0x05, value), result::kOk);
    EXPECT_EQ(value, 0x12);
    EXPECT_EQ(board.registerValue(0x05), 0x12);

    const std::vector<Frame> expected = {{0x55, 0x01, 0x01, 0x05, 0x12, 0xE7},
                                         {0x55, 0x01, 0x02, 0x05, 0x00, 0xF8}};
    EXPECT_EQ(board.receivedFrames(), expected);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(LinkTest, CommandsCarryTheDetectedChipId) {
    sim::VirtualBoard &board = connectBoard(sim::Chip::VXC5420);
    ASSERT_EQ(SendCommand(link(), command::kSetMode, 3), result::kOk);
    EXPECT_EQ(board.receivedFrames(), (std::vector<Frame>{{0x55, 0x02, 0x0D, 0x03, 0x00, 0xEF}}));
}

struct StatusCase {
    int status;
    const char *message;
};

class StatusTest : public LinkTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusTest, SendCommandShowsTheBridgeStatusAndFails) {
    sim::VirtualBoard &board = connectBoard();
    sim::Faults faults;
    faults.statusForCommand[command::kStandby] = GetParam().status;
    board.setFaults(faults);
    platform::MessageRecorder messages;

    EXPECT_EQ(SendCommand(link(), command::kStandby, 0), result::kBadReply);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, QString::fromLatin1(GetParam().message));
    EXPECT_EQ(messages.messages()[0].caption, "Error");
    EXPECT_EQ(messages.messages()[0].owner, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Statuses, StatusTest,
                         ::testing::Values(StatusCase{1, "DUT Disconnect"},
                                           StatusCase{2, "DUT No Response"},
                                           StatusCase{3, "AP Command Timeout "},
                                           StatusCase{7, "Unknown Error"}));

TEST_F(LinkTest, FailedStatusOfRegisterExchangesIsSilent) {
    sim::VirtualBoard &board = connectBoard();
    sim::Faults faults;
    faults.statusForCommand[command::kReadRegister] = 2;
    faults.statusForCommand[command::kWriteRegister] = 1;
    board.setFaults(faults);
    platform::MessageRecorder messages;

    uint8_t value = 0x55;
    EXPECT_EQ(ReadRegister(link(), 0x0A, value), result::kBadReply);
    EXPECT_EQ(value, 0) << "a well-formed failure reply clears the destination";
    EXPECT_EQ(WriteRegister(link(), 0x01, 0x23), result::kBadReply);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(LinkTest, BadReplyChecksumFailsWithoutMessageAndKeepsTheValue) {
    sim::VirtualBoard &board = connectBoard();
    sim::Faults faults;
    faults.badChecksumCommand = command::kReadRegister;
    board.setFaults(faults);
    platform::MessageRecorder messages;

    uint8_t value = 0x55;
    EXPECT_EQ(ReadRegister(link(), 0x01, value), result::kBadReply);
    EXPECT_EQ(value, 0x55);

    faults.badChecksumCommand = command::kStandby;
    faults.statusForCommand[command::kStandby] = 1; // not looked at: the checksum fails first
    board.setFaults(faults);
    EXPECT_EQ(SendCommand(link(), command::kStandby, 0), result::kBadReply);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(LinkTest, ShortReplyFailsAndTheNextExchangeIsClean) {
    sim::VirtualBoard &board = connectBoard();
    sim::Faults faults;
    faults.shortReplyCommand = command::kReadRegister;
    board.setFaults(faults);

    uint8_t value = 0x55;
    {
        const ExpectSilence silence(&link()); // after the reply's first two bytes
        EXPECT_EQ(ReadRegister(link(), 0x01, value), result::kShortRead);
    }
    EXPECT_EQ(value, 0x55);

    board.setFaults({});
    EXPECT_EQ(WriteRegister(link(), 0x01, 0x23), result::kOk);
}

TEST_F(LinkTest, SilenceTimesOutAndLateBytesNeverReachTheNextReply) {
    sim::VirtualBoard &board = connectBoard();
    sim::Faults faults;
    faults.replyDelayMs = 1000; // longer than the shortened 500 ms limit
    board.setFaults(faults);
    const uint64_t sentBefore = board.sentByteCount();
    {
        const ExpectSilence silence(&link());
        EXPECT_EQ(WriteRegister(link(), 0x03, 0x11), result::kTimeout);
    }

    // The late reply arrives while nobody reads; the next frame's purge must drop it.
    board.setFaults({});
    ASSERT_TRUE(board.waitForSentBytes(sentBefore + 3, kEventWaitLimitMs));
    ASSERT_TRUE(PortHolds(link(), 3));
    uint8_t value = 0;
    EXPECT_EQ(ReadRegister(link(), 0x03, value), result::kOk);
    EXPECT_EQ(value, 0x11);
}

TEST_F(LinkTest, StrayTrailingBytesAreDiscarded) {
    sim::VirtualBoard &board = connectBoard();
    sim::Faults faults;
    faults.trailingBytes = 5;
    board.setFaults(faults);

    for (uint8_t address = 0; address < 4; ++address) {
        uint8_t value = 0;
        const uint64_t sentBefore = board.sentByteCount();
        EXPECT_EQ(WriteRegister(link(), address + 4, address + 0x30), result::kOk);
        // The reply and its five stray bytes have left the board, and the stray ones wait in
        // our queue when the next frame goes out.
        ASSERT_TRUE(board.waitForSentBytes(sentBefore + 3 + 5, kEventWaitLimitMs));
        ASSERT_TRUE(PortHolds(link(), 5));
        EXPECT_EQ(ReadRegister(link(), address + 4, value), result::kOk);
        EXPECT_EQ(value, address + 0x30);
    }
}

// The device is gone: the port's resource error, not the time-out a silent board gives, so the
// exchange ends at once.
TEST_F(LinkTest, BoardHangingUpFailsTheReadPromptly) {
    sim::VirtualBoard &board = connectBoard();
    board.stop();
    uint8_t value = 0;
    EXPECT_EQ(ReadRegister(link(), 0x00, value),
              result::kPortErrorBase + QSerialPort::ResourceError);
}

} // namespace
