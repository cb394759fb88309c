// Detection walks the candidates with the two-probe handshake and keeps the first that passes.

#include "link_fixture.h"

#include "link/frames.h"

#include <QSerialPort>

namespace {

const Frame kFirstProbe = {0x55, 0x01, 0xF0, 0x00, 0x00, 0x0F};
const Frame kSecondProbe = {0x55, 0x01, 0x0A, 0x00, 0x00, 0xF5};

QString pathOf(const sim::VirtualBoard &board) {
    return QString::fromStdString(board.portPath());
}

TEST_F(LinkTest, DetectsABoardOnTheFirstCandidate) {
    sim::VirtualBoard &board = startBoard();
    SetPreferredPorts({pathOf(board)});
    platform::MessageRecorder messages;

    EXPECT_EQ(DetectEvm(), 1);
    EXPECT_TRUE(PortIsOpen());
    EXPECT_EQ(PortLabel(1), pathOf(board));
    EXPECT_EQ(g_chipName, "VXC5480");
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
    SetPreferredPorts({"/nonexistent/tty-pellorin", pathOf(silent), pathOf(noChip), pathOf(good)});
    platform::MessageRecorder messages;
    const ExpectSilence shortLimits; // the silent board's probe

    EXPECT_EQ(DetectEvm(), 4);
    EXPECT_EQ(PortLabel(4), pathOf(good));
    EXPECT_EQ(messages.texts(), QStringList{"DUT Disconnect"});
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
    SetPreferredPorts({pathOf(board)});
    platform::MessageRecorder messages;

    EXPECT_EQ(DetectEvm(), -1);
    EXPECT_FALSE(PortIsOpen());
    EXPECT_EQ(messages.texts(), QStringList{"Can't find VXC5480 !"});
}

TEST_F(LinkTest, PortBusyInAnotherProgramIsSkipped) {
    sim::VirtualBoard &busy = startBoard();
    sim::VirtualBoard &free = startBoard();
    QSerialPort other(pathOf(busy));
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    SetPreferredPorts({pathOf(busy), pathOf(free)});

    EXPECT_EQ(DetectEvm(), 2);
    EXPECT_TRUE(busy.receivedFrames().empty());
}

TEST_F(LinkTest, NoBoardNamesTheChipInItsMessage) {
    SetPreferredPorts({"/nonexistent/tty-pellorin"});
    platform::MessageRecorder messages;
    g_chipId = 2;

    EXPECT_EQ(DetectEvm(), -1);
    EXPECT_FALSE(PortIsOpen());
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Can't find VXC5420 !");
    EXPECT_EQ(messages.messages()[0].caption, "Error");
}

TEST_F(LinkTest, ChipIdOutsideTheCatalogueFailsWithoutMessage) {
    SetPreferredPorts({"/nonexistent/tty-pellorin"});
    platform::MessageRecorder messages;
    g_chipId = 9;
    EXPECT_EQ(DetectEvm(), -1);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(LinkTest, BoardCarryingTheOtherChipAnswersDisconnected) {
    sim::VirtualBoard &board = startBoard(sim::Chip::VXC5480);
    SetPreferredPorts({pathOf(board)});
    platform::MessageRecorder messages;
    g_chipId = 2;

    EXPECT_EQ(DetectEvm(), -1);
    EXPECT_EQ(messages.texts(), (QStringList{"DUT Disconnect", "Can't find VXC5420 !"}));
}

TEST_F(LinkTest, ScanStopsAfter256Candidates) {
    sim::VirtualBoard &board = startBoard();
    QStringList missing;
    for (int i = 0; i < 255; ++i)
        missing << QStringLiteral("/nonexistent/tty-pellorin-%1").arg(i);

    SetPreferredPorts(missing + QStringList{pathOf(board)});
    EXPECT_EQ(DetectEvm(), 256) << "the 256th candidate is still tried";
    ClosePort();

    platform::MessageRecorder messages;
    SetPreferredPorts(missing + QStringList{"/nonexistent/one-more", pathOf(board)});
    EXPECT_EQ(PortCandidates().size(), 256);
    EXPECT_EQ(DetectEvm(), -1) << "nothing past the 256th is tried";
    EXPECT_EQ(messages.texts(), QStringList{"Can't find VXC5480 !"});
}

TEST_F(LinkTest, WithoutSystemPortsOnlyThePreferredAreCandidates) {
    SetPreferredPorts({"/nonexistent/a", "/nonexistent/b"});
    EXPECT_EQ(PortCandidates(), (QStringList{"/nonexistent/a", "/nonexistent/b"}));
    SetSystemPortsScanned(true);
    EXPECT_TRUE(PortCandidates().startsWith(QStringLiteral("/nonexistent/a")));
    SetSystemPortsScanned(false);
}

TEST_F(LinkTest, DetectingAgainClosesThePortAndRescansFromTheFirst) {
    sim::VirtualBoard &first = startBoard();
    sim::VirtualBoard &second = startBoard();
    SetPreferredPorts({pathOf(first), pathOf(second)});
    ASSERT_EQ(DetectEvm(), 1);

    // Our own open handle is released before the scan, so the same port is found again.
    ASSERT_EQ(DetectEvm(), 1);
    EXPECT_TRUE(second.receivedFrames().empty());
}

} // namespace
