// "Write" from both tabs, "Sync", and the profile commands of a live panel.

#include "panel_fixture.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

using namespace tz420test;
using namespace vxc5420;

class Panel2WriteTest : public Panel2Test {
  protected:
    // On the "MUX" tab: AIN+ on AIN0, AIN- on AIN1, buffer on, PGA 8, 320 SPS.
    void chooseMuxTabSettings() {
        click(m_panel->m_muxPage->control(1078));
        click(m_panel->m_muxPage->control(1088));
        click(m_panel->m_muxPage->control(1134));
        choose(list(TZ420Dlg::kModeList), 3);
        choose(list(TZ420Dlg::kPgaList), 3);
        choose(list(TZ420Dlg::kRateList), 5);
        m_board.clearReceivedFrames();
    }
};

struct MuxWriteCase {
    const char *name;
    int failing; // address whose write fails, -1 for none
    Frames frames;
    RegisterImage current; // after the Write
};

const RegisterImage kStart{0x02, 0x10, 0x40, 0x70, 0x30, 0x00};

class MuxTabWrite : public Panel2WriteTest, public ::testing::WithParamInterface<MuxWriteCase> {};

TEST_P(MuxTabWrite, SendsMuxThenCr0OnlyAfterItThenCr1Regardless) {
    const MuxWriteCase &c = GetParam();
    TZ420Dlg &panel = openPanel();
    ASSERT_EQ(panel.m_current, PanelImage(kStart));
    chooseMuxTabSettings();
    ASSERT_EQ(panel.m_pending, PanelImage({0x02, 0x01, 0x42, 0x35, 0x30, 0x00}));
    if (c.failing >= 0)
        failAddress(static_cast<uint8_t>(c.failing), 2);
    platform::MessageRecorder messages;
    write();
    EXPECT_EQ(m_board.receivedFrames(), c.frames);
    EXPECT_TRUE(messages.messages().empty()) << "a failed write on this tab tells nothing";
    EXPECT_EQ(panel.m_current, PanelImage(c.current));
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(panel.m_allPage->readText(row), HexByteText(panel.m_current[row])) << row;
    EXPECT_EQ(busy().registerBusy, 0);
    EXPECT_TRUE(panel.control(TZ420Dlg::kWriteButton)->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Panel2, MuxTabWrite,
    ::testing::Values(
        MuxWriteCase{"AllWritten",
                     -1,
                     {WriteFrameOf(1, 0x01), WriteFrameOf(2, 0x42), WriteFrameOf(3, 0x35)},
                     {0x02, 0x01, 0x42, 0x35, 0x30, 0x00}},
        MuxWriteCase{"MuxFails",
                     1,
                     {WriteFrameOf(1, 0x01), WriteFrameOf(3, 0x35)},
                     {0x02, 0x10, 0x40, 0x35, 0x30, 0x00}},
        MuxWriteCase{"Cr0Fails",
                     2,
                     {WriteFrameOf(1, 0x01), WriteFrameOf(2, 0x42), WriteFrameOf(3, 0x35)},
                     {0x02, 0x01, 0x40, 0x35, 0x30, 0x00}},
        MuxWriteCase{"Cr1Fails",
                     3,
                     {WriteFrameOf(1, 0x01), WriteFrameOf(2, 0x42), WriteFrameOf(3, 0x35)},
                     {0x02, 0x01, 0x42, 0x70, 0x30, 0x00}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Panel2WriteTest, ConfirmedCr1SetsTheListsFromTheChip) {
    TZ420Dlg &panel = openPanel();
    chooseMuxTabSettings();
    panel.m_pending[kCr1] = 0x5A; // as a loaded profile would leave it
    write();
    EXPECT_EQ(list(TZ420Dlg::kPgaList)->currentText(), "32");
    EXPECT_EQ(list(TZ420Dlg::kRateList)->currentText(), "    40 SPS");
    EXPECT_EQ(panel.m_muxPage->m_ainPosId, 1078);
    EXPECT_EQ(panel.m_muxPage->m_ainNegId, 1088);
}

TEST_F(Panel2WriteTest, SameInputForAinPlusAndMinusIsRefused) {
    loadChip({0x02, 0x11, 0x40, 0x70, 0x30, 0x00});
    TZ420Dlg &panel = openPanel();
    platform::MessageRecorder messages;
    write();
    EXPECT_TRUE(m_board.receivedFrames().empty());
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "AIN+ and AIN- cannot select the same channel !");
    EXPECT_EQ(messages.messages()[0].caption, "Error");
    EXPECT_EQ(messages.messages()[0].icon, platform::MessageIcon::Error);

    click(panel.m_muxPage->control(1078)); // AIN+ to AIN0: now they differ
    write();
    EXPECT_EQ(m_board.receivedFrames().front(), WriteFrameOf(kMux, 0x01));
}

struct AllRegsCase {
    const char *name;
    const char *typed;
    uint8_t sent[6];
};

class AllRegsWrite : public Panel2WriteTest, public ::testing::WithParamInterface<AllRegsCase> {};

TEST_P(AllRegsWrite, ForcesTheChipsFixedBitsAndSendsAllSixInOrder) {
    const AllRegsCase &c = GetParam();
    TZ420Dlg &panel = openPanel();
    selectTab(TZ420Dlg::kTabAll);
    for (int row = 0; row < 6; ++row)
        typeWrite(row, QString::fromLatin1(c.typed));
    write();
    Frames expected;
    for (uint8_t a = 0; a < 6; ++a)
        expected.push_back(WriteFrameOf(a, c.sent[a]));
    EXPECT_EQ(m_board.receivedFrames(), expected);
    for (int row = 0; row < 6; ++row) {
        // Kept as typed, in the upper case of the hex edits.
        EXPECT_EQ(panel.m_allPage->writeText(row), QString::fromLatin1(c.typed).toUpper());
        EXPECT_EQ(panel.m_allPage->readText(row), HexByteText(c.sent[row])) << row;
        EXPECT_EQ(panel.m_current[row], c.sent[row]) << row;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Panel2, AllRegsWrite,
    ::testing::Values(AllRegsCase{"AllOnes", "FF", {0xFF, 0x91, 0x46, 0x77, 0x31, 0x02}},
                      AllRegsCase{"Empty", "", {0x02, 0x00, 0x40, 0x00, 0x30, 0x00}},
                      AllRegsCase{"Unparsable", "zz", {0x02, 0x00, 0x40, 0x00, 0x30, 0x00}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Panel2WriteTest, AllRegsWriteStopsAtTheFailedAddress) {
    for (uint8_t failing = 0; failing < 6; ++failing) {
        SCOPED_TRACE(failing);
        loadChip(kStart);
        TZ420Dlg &panel = openPanel();
        selectTab(TZ420Dlg::kTabAll);
        for (int row = 0; row < 6; ++row)
            typeWrite(row, QStringLiteral("FF"));
        failAddress(failing, 2);
        platform::MessageRecorder messages;
        write();
        m_board.setFaults({});
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text,
                  QStringLiteral("Write Register Address 0%1 Failed !").arg(failing));
        EXPECT_EQ(messages.messages()[0].caption, "Error occured !");
        EXPECT_EQ(m_board.receivedFrames().size(), failing + 1u);
        const uint8_t forced[6] = {0xFF, 0x91, 0x46, 0x77, 0x31, 0x02};
        for (uint8_t a = 0; a < 6; ++a)
            EXPECT_EQ(panel.m_current[a], a < failing ? forced[a] : kStart[a]) << int(a);
        // No page is refreshed: the Read column still shows the start.
        EXPECT_EQ(panel.m_allPage->readText(0), "02");
        EXPECT_EQ(busy().registerBusy, 0);
    }
}

TEST_F(Panel2WriteTest, SyncCopiesTheReadColumnAsItStands) {
    TZ420Dlg &panel = openPanel();
    auto readEdit = [&panel](int row) {
        return static_cast<QLineEdit *>(panel.m_allPage->control(1037 + row));
    };
    EXPECT_FALSE(readEdit(1)->isReadOnly());
    readEdit(1)->setText(QStringLiteral("x7q"));
    readEdit(2)->clear();
    typeWrite(2, QStringLiteral("AB"));
    click(panel.m_allPage->control(1048));
    EXPECT_EQ(panel.m_allPage->writeText(1), "X7") << "two characters, in the edit's upper case";
    EXPECT_EQ(panel.m_allPage->writeText(2), "AB") << "an empty Read edit leaves its row";
    EXPECT_EQ(panel.m_allPage->writeText(3), "70");
    EXPECT_EQ(panel.m_pending, panel.m_current);
}

TEST_F(Panel2WriteTest, TabChangeShowsPendingInTheWriteColumn) {
    TZ420Dlg &panel = openPanel();
    typeWrite(0, QStringLiteral("EE"));
    panel.m_pending[kCr2] = 0x31;
    selectTab(TZ420Dlg::kTabAll);
    EXPECT_TRUE(panel.m_allPage->isVisible());
    EXPECT_FALSE(panel.m_muxPage->isVisible());
    EXPECT_EQ(panel.m_allPage->writeText(0), "02");
    EXPECT_EQ(panel.m_allPage->writeText(kCr2), "31");
    selectTab(TZ420Dlg::kTabMux);
    EXPECT_TRUE(panel.m_muxPage->isVisible());
    EXPECT_FALSE(panel.m_allPage->isVisible());
}

// Profiles with a live panel.
class Panel2ProfileTest : public Panel2WriteTest {
  protected:
    QString put(const QByteArray &bytes) {
        const QString path = m_dir.filePath(QStringLiteral("p.ini"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QTemporaryDir m_dir;
};

TEST_F(Panel2ProfileTest, SaveWritesTheChipsValuesAndRoundTrips) {
    loadChip({0x02, 0x11, 0x42, 0x5A, 0x31, 0x02});
    TZ420Dlg &panel = openPanel();
    panel.m_pending[kMux] = 0x00; // never written: not saved
    const QString path = m_dir.filePath(QStringLiteral("Pellorin.ini"));
    platform::MessageRecorder messages;
    EXPECT_EQ(panel.SaveProfile(path), 0);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[EVM]\r\nTarget=VXC5420\r\n[REG]\r\nSTA=0x02\r\n"
                                         "MUX=0x11\r\nCR0=0x42\r\nCR1=0x5A\r\nCR2=0x31\r\n"
                                         "CR3=0x02\r\n"));
    EXPECT_EQ(panel.LoadProfile(path), 0);
    EXPECT_EQ(panel.m_pending, panel.m_current);
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_TRUE(m_board.receivedFrames().empty());
}

TEST_F(Panel2ProfileTest, UnwritableProfileIsToldAndFails) {
    TZ420Dlg &panel = openPanel();
    platform::MessageRecorder messages;
    const QString path = m_dir.filePath(QStringLiteral("no/such/folder/p.ini"));
    EXPECT_EQ(panel.SaveProfile(path), -1);
    // One box: the program's text, the file and its cause as its detail.
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Save Profile Failed !");
    EXPECT_EQ(messages.messages()[0].caption, "Error !");
    EXPECT_EQ(messages.messages()[0].detail, path + QStringLiteral(": No such folder"));
}

struct RefusedCase {
    const char *name;
    const char *file;
};

class RefusedProfile : public Panel2ProfileTest,
                       public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedProfile, IsToldAndChangesNothing) {
    TZ420Dlg &panel = openPanel();
    panel.m_pending[kCr2] = 0x31;
    const std::vector<uint8_t> pending = panel.m_pending;
    platform::MessageRecorder messages;
    EXPECT_EQ(panel.LoadProfile(put(GetParam().file)), 0);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "The profile is invalid for \"VXC5420\"");
    EXPECT_EQ(messages.messages()[0].caption, "Error !");
    EXPECT_EQ(messages.messages()[0].owner, &panel);
    EXPECT_EQ(panel.m_pending, pending);
}

INSTANTIATE_TEST_SUITE_P(
    Panel2, RefusedProfile,
    ::testing::Values(RefusedCase{"OtherChip", "[EVM]\r\nTarget=VXC5480\r\n[REG]\r\nMUX=0x01\r\n"},
                      RefusedCase{"NoTarget", "[EVM]\r\n[REG]\r\nMUX=0x01\r\n"},
                      RefusedCase{"NoEvmSection", "[REG]\r\nMUX=0x01\r\n"},
                      RefusedCase{"LongerName", "[EVM]\r\nTarget=VXC5420X\r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Panel2ProfileTest, LoadKeepsLowBytesAndShowsTheChipStill) {
    TZ420Dlg &panel = openPanel();
    const std::vector<uint8_t> current = panel.m_current;
    EXPECT_EQ(panel.LoadProfile(put("[evm]\r\ntarget=vxc5420\r\n[REG]\r\nSTA=7\r\nMUX= 0x11\r\n"
                                    "CR0=46\r\nCR1=0x15A\r\nCR2=0xq\r\n")),
              0);
    EXPECT_EQ(panel.m_pending, PanelImage({0x07, 0x11, 0x46, 0x5A, 0x00, 0x00}));
    EXPECT_EQ(panel.m_current, current);
    EXPECT_EQ(panel.m_muxPage->m_ainNegId, 1087) << "the buttons show the chip";
    EXPECT_EQ(panel.m_allPage->writeText(kCr1), "70");
    EXPECT_TRUE(m_board.receivedFrames().empty());

    EXPECT_EQ(panel.LoadProfile(put("[EVM]\r\nTarget=VXC5420\r\n")), 0);
    EXPECT_EQ(panel.m_pending, PanelImage({})) << "no REG section: every register 0x00";
}

TEST_F(Panel2ProfileTest, LoadedProfileGoesOutFromEachTab) {
    TZ420Dlg &panel = openPanel();
    const QString path = put("[EVM]\r\nTarget=VXC5420\r\n[REG]\r\nSTA=0x06\r\nMUX=0x01\r\n"
                             "CR0=0x42\r\nCR1=0x35\r\nCR2=0x31\r\nCR3=0x02\r\n");
    ASSERT_EQ(panel.LoadProfile(path), 0);
    write(); // "MUX" tab: MUX, CR0 and CR1 only
    EXPECT_EQ(m_board.receivedFrames(),
              (Frames{WriteFrameOf(1, 0x01), WriteFrameOf(2, 0x42), WriteFrameOf(3, 0x35)}));
    EXPECT_EQ(m_board.registerValue(kCr2), 0x30);

    m_board.clearReceivedFrames();
    ASSERT_EQ(panel.LoadProfile(path), 0);
    selectTab(TZ420Dlg::kTabAll); // the Write column takes the loaded values
    write();
    EXPECT_EQ(m_board.receivedFrames(),
              (Frames{WriteFrameOf(0, 0x06), WriteFrameOf(1, 0x01), WriteFrameOf(2, 0x42),
                      WriteFrameOf(3, 0x35), WriteFrameOf(4, 0x31), WriteFrameOf(5, 0x02)}));
    EXPECT_EQ(m_board.registerValue(kCr2), 0x31);
    EXPECT_EQ(m_board.registerValue(kCr3), 0x02);
}

} // namespace
