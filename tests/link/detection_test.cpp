// Detection walks the candidates with the two-probe handshake and keeps the first that passes;
// ports held by a link of this process are passed over.

#include "link_fixture.h"

#include "link/detection.h"
#include "link/frames.h"

#include <QSerialPort>

namespace {

const Frame kFirstProbe = {0x55, 0x01, 0xF0, 0x00, 0x00, 0x0F};
const Frame kSecondProbe = {0x55, 0x01, 0x0A, 0x00, 0x00, 0xF5};

QString pathOf(const sim::VirtualBoard &board) {
    return QString::fromStdString(board.portPath());
}

Detection detect(const QStringList &ports, int chipId = 1) {
    return DetectEvm({ports, false}, chipId);
}

TEST_F(LinkTest, DetectsABoardOnTheFirstCandidate) {
    sim::VirtualBoard &board = startBoard();
    platform::MessageRecorder messages;

    const Detection found = detect({pathOf(board)});
    ASSERT_TRUE(found.link);
    EXPECT_EQ(found.number, 1);
    EXPECT_EQ(found.link->path(), pathOf(board));
    EXPECT_EQ(found.link->chipName(), "VXC5480");
    EXPECT_FALSE(found.link->identity().isEmpty());
    EXPECT_EQ(board.receivedFrames(), (std::vector<Frame>{kFirstProbe, kSecondProbe}));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(LinkTest, SkipsMissingSilentAndFailingPortsToALaterCandidate) {
    sim::VirtualBoard &silent = startBoard();
    sim::VirtualBoard &noChip = startBoard();
    sim::VirtualBoard &good = startBoard();
    sim::Faults silence;
    silence.silent = true;
    silent.setFaults(silence);
    sim::Faults disconnected;
    disconnected.statusForCommand[command::kDetectFirst] = 1;
    noChip.setFaults(disconnected);
    platform::MessageRecorder messages;
    const ExpectSilence shortLimits; // the silent board's probe

    const Detection found =
        detect({"/nonexistent/tty-pellorin", pathOf(silent), pathOf(noChip), pathOf(good)});
    EXPECT_EQ(found.number, 4);
    ASSERT_TRUE(found.link);
    EXPECT_EQ(found.link->path(), pathOf(good));
    EXPECT_EQ(messages.texts(), QStringList{"DUT Disconnect"});
    // Each refused candidate says why: not opened, silent, a failure status.
    ASSERT_EQ(found.refused.size(), 3u);
    EXPECT_EQ(found.refused[0].result, result::kNoPort);
    EXPECT_EQ(found.refused[1].result, result::kTimeout);
    EXPECT_EQ(found.refused[2].result, result::kBadReply);
    // The second probe goes out only after the first passed.
    EXPECT_EQ(silent.receivedFrames(), std::vector<Frame>{kFirstProbe});
    EXPECT_EQ(noChip.receivedFrames(), std::vector<Frame>{kFirstProbe});
    EXPECT_EQ(good.receivedFrames(), (std::vector<Frame>{kFirstProbe, kSecondProbe}));
}

TEST_F(LinkTest, FailedSecondProbeRejectsThePort) {
    sim::VirtualBoard &board = startBoard();
    sim::Faults faults;
    faults.badChecksumCommand = command::kDetectSecond;
    board.setFaults(faults);
    platform::MessageRecorder messages;

    const Detection found = detect({pathOf(board)});
    EXPECT_EQ(found.number, -1);
    EXPECT_FALSE(found.link);
    EXPECT_TRUE(messages.messages().empty()) << "whoever shows the result says \"Can't find\"";
    // The port is free again.
    EXPECT_TRUE(BoardLink::open(pathOf(board)));
}

TEST_F(LinkTest, PortBusyInAnotherProgramIsSkipped) {
    sim::VirtualBoard &busy = startBoard();
    sim::VirtualBoard &free = startBoard();
    QSerialPort other(pathOf(busy));
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));

    EXPECT_EQ(detect({pathOf(busy), pathOf(free)}).number, 2);
    EXPECT_TRUE(busy.receivedFrames().empty());
}

TEST_F(LinkTest, APortHeldByThisProcessIsPassedOverForTheNextBoard) {
    sim::VirtualBoard &first = startBoard();
    sim::VirtualBoard &second = startBoard();
    const QStringList both{pathOf(first), pathOf(second)};
    const Detection one = detect(both);
    ASSERT_EQ(one.number, 1);
    first.clearReceivedFrames();

    const Detection two = detect(both);
    EXPECT_EQ(two.number, 2);
    ASSERT_FALSE(two.refused.empty());
    EXPECT_EQ(two.refused[0].cause, "open in this process already");
    EXPECT_TRUE(first.receivedFrames().empty()) << "no probe on a port in use";
    QString problem;
    EXPECT_FALSE(BoardLink::open(pathOf(first), &problem));
    EXPECT_EQ(problem, "open in this process already");
}

TEST_F(LinkTest, NoBoardNamesTheChipInItsText) {
    EXPECT_FALSE(detect({"/nonexistent/tty-pellorin"}, 2).link);
    EXPECT_EQ(CantFindText(2), "Can't find VXC5420 !");
    EXPECT_EQ(CantFindText(1), "Can't find VXC5480 !");
}

TEST_F(LinkTest, BoardCarryingTheOtherChipAnswersDisconnected) {
    sim::VirtualBoard &board = startBoard(sim::Chip::VXC5480);
    platform::MessageRecorder messages;

    EXPECT_FALSE(detect({pathOf(board)}, 2).link);
    EXPECT_EQ(messages.texts(), (QStringList{"DUT Disconnect"}));
}

TEST_F(LinkTest, ScanStopsAfter256Candidates) {
    sim::VirtualBoard &board = startBoard();
    QStringList missing;
    for (int i = 0; i < 255; ++i)
        missing << QStringLiteral("/nonexistent/tty-pellorin-%1").arg(i);

    EXPECT_EQ(detect(missing + QStringList{pathOf(board)}).number, 256)
        << "the 256th candidate is still tried";

    const QStringList tooMany = missing + QStringList{"/nonexistent/one-more", pathOf(board)};
    EXPECT_EQ(PortCandidates({tooMany, false}).size(), 256);
    EXPECT_EQ(detect(tooMany).number, -1) << "nothing past the 256th is tried";
}

TEST_F(LinkTest, WithoutSystemPortsOnlyThePreferredAreCandidates) {
    const QStringList given{"/nonexistent/a", "/nonexistent/b"};
    EXPECT_EQ(PortCandidates({given, false}), given);
    EXPECT_TRUE(PortCandidates({given, true}).startsWith(QStringLiteral("/nonexistent/a")));
}

} // namespace
