// Virtual boards behind their stable links, through the program's own serial transport: a
// board opened by its link is named by it, boards differ in name and samples, and a board
// pulled out hangs up, comes back behind the same link, with its registers as a power-up or as
// it was left.

#include "link/board_link.h"
#include "link/detection.h"
#include "link/frames.h"
#include "link/protocol.h"
#include "link/result_codes.h"
#include "sim/virtual_board.h"
#include "simulate/simulated_board.h"
#include "tests/support/board_on_pty.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace {

using namespace std::chrono_literals;

QString LinkOf(const sim::VirtualBoard &board) {
    return QString::fromStdString(board.linkPath());
}

std::unique_ptr<BoardLink> Connect(const sim::VirtualBoard &board) {
    Detection found = DetectEvm({{LinkOf(board)}, false}, static_cast<int>(board.chip()));
    return std::move(found.link);
}

// The bytes of count items, as the program reads them off the line.
std::vector<uint8_t> Items(BoardLink &link, int count) {
    std::vector<uint8_t> bytes(static_cast<size_t>(count) * 4);
    EXPECT_EQ(RequestItems(link, count), 0);
    EXPECT_EQ(link.readBytes(bytes.data(), static_cast<uint32_t>(bytes.size())), 0);
    return bytes;
}

TEST(StableLink, NamesItsBoardAndGoesWithIt) {
    auto board = std::make_unique<sim::VirtualBoard>(sim::Chip::VXC5420);
    board->setSerial("PLR4242");
    ASSERT_TRUE(board->start());
    const QFileInfo link(LinkOf(*board));
    EXPECT_EQ(link.fileName(), "usb-Pellorin_Virtual_EVM_PLR4242-if00");
    EXPECT_EQ(link.absoluteDir().dirName(), "by-id");
    ASSERT_TRUE(link.isSymLink());
    EXPECT_EQ(link.symLinkTarget(), QString::fromStdString(board->portPath()));

    const std::unique_ptr<BoardLink> opened = Connect(*board);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->identity(), link.absoluteFilePath());
    // The link holds the pty behind it: this process cannot open it again by its own path.
    EXPECT_EQ(BoardLink::open(QString::fromStdString(board->portPath())), nullptr);

    const QString folder = link.absoluteDir().absolutePath();
    board.reset();
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST(StableLink, BoardsStartedTogetherDifferInNameAndSamples) {
    for (const char *chip : {"VXC5480", "VXC5420"}) {
        SCOPED_TRACE(chip);
        const std::vector<std::unique_ptr<sim::VirtualBoard>> boards =
            StartSimulatedBoards({chip, chip}, sim::Pacing::None);
        ASSERT_EQ(boards.size(), 2u);
        EXPECT_NE(boards[0]->serial(), boards[1]->serial());
        const std::unique_ptr<BoardLink> first = Connect(*boards[0]);
        const std::unique_ptr<BoardLink> second = Connect(*boards[1]);
        ASSERT_TRUE(first && second);
        EXPECT_NE(first->identity(), second->identity());
        EXPECT_NE(Items(*first, 64), Items(*second, 64));
    }
}

struct UnplugCase {
    const char *name;
    sim::Chip chip;
    bool reset;
};

class Unplug : public ::testing::TestWithParam<UnplugCase> {};

// A change a power-up undoes: MUX of the 8-channel chip; on the 2-channel chip a fixed mode,
// which loads CR1.
uint8_t Change(BoardLink &link, sim::Chip chip) {
    if (chip == sim::Chip::VXC5480) {
        EXPECT_EQ(WriteRegister(link, 0x01, 0x23), 0);
    } else {
        EXPECT_EQ(SendCommand(link, command::kSetMode, 3), 0);
    }
    return chip == sim::Chip::VXC5480 ? 0x01 : 0x03;
}

TEST_P(Unplug, HangsUpThenAnswersBehindTheSameLink) {
    const UnplugCase c = GetParam();
    sim::VirtualBoard board(c.chip);
    board.setPacing(sim::Pacing::Wire);
    ASSERT_TRUE(board.start());
    std::unique_ptr<BoardLink> link = Connect(board);
    ASSERT_TRUE(link);
    const QString identity = link->identity();
    const std::string firstPty = board.portPath();

    uint8_t atPowerUp = 0, changed = 0;
    const uint8_t address = Change(*link, c.chip);
    // The power-up value, from a board that was never changed.
    {
        sim::VirtualBoard fresh(c.chip);
        ASSERT_TRUE(fresh.start());
        const std::unique_ptr<BoardLink> freshLink = Connect(fresh);
        ASSERT_TRUE(freshLink);
        ASSERT_EQ(ReadRegister(*freshLink, address, atPowerUp), 0);
    }
    ASSERT_EQ(ReadRegister(*link, address, changed), 0);
    ASSERT_NE(changed, atPowerUp);

    // An acquisition far longer than the test: the board goes in the middle of it.
    ASSERT_EQ(RequestItems(*link, 60000), 0);
    std::vector<uint8_t> bytes(60000 * 4);
    ASSERT_EQ(link->readBytes(bytes.data(), 16), 0);
    board.unplug(200ms, c.reset);
    EXPECT_FALSE(QFileInfo::exists(LinkOf(board)));
    const int read = link->readBytes(bytes.data(), static_cast<uint32_t>(bytes.size()));
    EXPECT_NE(read, 0);
    EXPECT_NE(read, result::kTimeout); // the line went; it did not fall silent
    uint8_t value = 0;
    EXPECT_NE(ReadRegister(*link, address, value), 0);

    ASSERT_TRUE(board.waitPluggedIn(kEventWaitLimitMs));
    // The old pty is still held here, so the board is back on another one.
    EXPECT_NE(board.portPath(), firstPty);
    link.reset();
    link = Connect(board);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->identity(), identity);
    ASSERT_EQ(ReadRegister(*link, address, value), 0);
    EXPECT_EQ(value, c.reset ? atPowerUp : changed);
    EXPECT_EQ(Items(*link, 16).size(), 64u);
}

INSTANTIATE_TEST_SUITE_P(BothChips, Unplug,
                         ::testing::Values(UnplugCase{"VXC5480Reset", sim::Chip::VXC5480, true},
                                           UnplugCase{"VXC5480Kept", sim::Chip::VXC5480, false},
                                           UnplugCase{"VXC5420Reset", sim::Chip::VXC5420, true},
                                           UnplugCase{"VXC5420Kept", sim::Chip::VXC5420, false}),
                         [](const ::testing::TestParamInfo<UnplugCase> &info) {
                             return info.param.name;
                         });

} // namespace
