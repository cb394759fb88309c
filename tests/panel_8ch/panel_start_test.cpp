// Panel start, Read, RefreshFromChip and the profile commands of a live panel.

#include "panel_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using namespace vxc5480;

class PanelStartTest : public PanelTest {
  protected:
    void loadChip() {
        const uint8_t values[] = {0x00, 0x38, 0x3B, 0x82, 0x15, 0x45, 0x23, 0x01, 0x00, 0x00, 0x40};
        for (uint8_t a = 1; a < 11; ++a)
            m_board.setRegisterValue(a, values[a]);
    }
};

TEST_F(PanelStartTest, StartReadsElevenRegistersAndShowsThem) {
    loadChip();
    platform::MessageRecorder messages;
    makePanel();
    ASSERT_TRUE(m_panel->OnInitDialog());
    EXPECT_EQ(m_board.receivedFrames(), ReadAllFrames());
    EXPECT_TRUE(messages.messages().empty());
    TZ410Dlg &panel = *m_panel;

    EXPECT_EQ(panel.m_current[kMux], 0x38);
    EXPECT_EQ(panel.m_current[kDrate], 0x82);
    EXPECT_EQ(panel.m_pending, panel.m_current);
    EXPECT_EQ(static_cast<QComboBox *>(panel.control(TZ410Dlg::kPgaList))->currentText(), "8");
    EXPECT_EQ(static_cast<QComboBox *>(panel.control(TZ410Dlg::kRateList))->currentText(),
              "    100 SPS");
    EXPECT_EQ(panel.m_muxPage->m_ainPosId, 1081);
    EXPECT_EQ(panel.m_muxPage->m_ainNegId, 1095);
    EXPECT_EQ(text(panel.m_clockPage->control(1061)), "7.680000MHz");
    EXPECT_EQ(text(panel.m_statusPage->control(1012)), StatusIdText(panel.m_current[kStatus]));
    EXPECT_EQ(text(panel.m_calPage->control(1056)), "012345");
    EXPECT_EQ(text(panel.m_calPage->control(1057)), "400000");
    for (int a = 0; a < 11; ++a) {
        EXPECT_EQ(panel.m_allPage->readText(a), HexByteText(panel.m_current[a])) << a;
        EXPECT_EQ(panel.m_allPage->writeText(a), HexByteText(panel.m_current[a])) << a;
    }
    EXPECT_TRUE(panel.control(TZ410Dlg::kReadButton)->isEnabled());
    EXPECT_EQ(busy().registerBusy, 0);
}

TEST_F(PanelStartTest, FailedFirstReadLeavesPagesAtStart) {
    failCommand(command::kReadRegister, 2);
    platform::MessageRecorder messages;
    makePanel();
    ASSERT_TRUE(m_panel->OnInitDialog());
    EXPECT_EQ(m_board.receivedFrames(), Frames{ReadFrameOf(0)});
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Read Register Address 00 Failed !");
    EXPECT_EQ(messages.messages()[0].caption, "Error occured !");
    EXPECT_EQ(m_panel->m_current, PanelImage({}));
    EXPECT_EQ(m_panel->m_pending, PanelImage({}));
    EXPECT_EQ(m_panel->m_allPage->writeText(3), "00");
    EXPECT_EQ(m_panel->m_allPage->readText(3), "");
    EXPECT_EQ(m_panel->m_muxPage->m_ainNegId, 1088);
}

TEST_F(PanelStartTest, SkipsTheFirstReadWhileAnotherTransferRuns) {
    busy().acquiring = 1;
    makePanel();
    ASSERT_TRUE(m_panel->OnInitDialog());
    click(m_panel->control(TZ410Dlg::kReadButton));
    click(m_panel->control(TZ410Dlg::kWriteButton));
    EXPECT_TRUE(m_board.receivedFrames().empty());
}

TEST_F(PanelStartTest, ReadAndRefreshFromChipKeepPendingEdits) {
    TZ410Dlg &panel = openPanel();
    choose(panel.control(TZ410Dlg::kPgaList), 6);
    loadChip();
    click(panel.control(TZ410Dlg::kReadButton));
    EXPECT_EQ(m_board.receivedFrames(), ReadAllFrames());
    EXPECT_EQ(panel.m_current[kAdcon], 0x3B);
    EXPECT_EQ(PgaCode(panel.m_pending[kAdcon]), 6);
    EXPECT_EQ(static_cast<QComboBox *>(panel.control(TZ410Dlg::kPgaList))->currentText(), "8");

    m_board.clearReceivedFrames();
    m_board.setRegisterValue(kDrate, 0xF0);
    EXPECT_EQ(panel.RefreshFromChip(), 0);
    EXPECT_EQ(m_board.receivedFrames(), ReadAllFrames());
    EXPECT_EQ(static_cast<QComboBox *>(panel.control(TZ410Dlg::kRateList))->currentText(),
              "30000 SPS");
    EXPECT_EQ(panel.m_allPage->readText(kDrate), "F0");
}

TEST_F(PanelStartTest, RefreshFromChipReportsTheFailedRead) {
    TZ410Dlg &panel = openPanel();
    failCommand(command::kReadRegister, 1);
    platform::MessageRecorder messages;
    EXPECT_NE(panel.RefreshFromChip(), 0);
    EXPECT_EQ(messages.texts(), QStringList{"Read Register Address 00 Failed !"});
}

TEST_F(PanelStartTest, ProfileSavesTheChipAndLoadsIntoPending) {
    loadChip();
    TZ410Dlg &panel = openPanel();
    QTemporaryDir dir;
    const QString path = dir.filePath("Pellorin.ini");
    EXPECT_EQ(panel.SaveProfile(path), 0);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("[EVM]\r\nTarget=VXC5480\r\n[REG]\r\nSTATUS=0x"));
    EXPECT_TRUE(bytes.contains("\r\nMUX=0x38\r\nADCON=0x3B\r\nDRAT=0x82\r\n"));
    bytes.replace("MUX=0x38", "mux=0x27");
    file.resize(0);
    file.write(bytes);
    file.close();

    selectTab(kTabAll);
    platform::MessageRecorder messages;
    EXPECT_EQ(panel.LoadProfile(path), 0);
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(panel.m_pending[kMux], 0x27);
    EXPECT_EQ(panel.m_muxPage->m_ainPosId, 1081); // the pages show the chip, not the file
    EXPECT_EQ(panel.m_allPage->writeText(kMux), "38");
    EXPECT_TRUE(m_board.receivedFrames().empty());
    selectTab(kTabMux);
    click(panel.control(TZ410Dlg::kWriteButton));
    EXPECT_EQ(m_board.receivedFrames().front(), WriteFrameOf(kMux, 0x27));
}

TEST_F(PanelStartTest, ProfileOfTheOtherChipIsRefused) {
    TZ410Dlg &panel = openPanel();
    QTemporaryDir dir;
    const QString path = dir.filePath("other.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[EVM]\r\nTarget=VXC5420\r\n[REG]\r\nMUX=0x77\r\n");
    file.close();
    const std::vector<uint8_t> before = panel.m_pending;
    platform::MessageRecorder messages;
    EXPECT_EQ(panel.LoadProfile(path), 0);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "The profile is invalid for \"VXC5480\"");
    EXPECT_EQ(messages.messages()[0].caption, "Error !");
    EXPECT_EQ(panel.m_pending, before);
}

TEST_F(PanelStartTest, CreationTimeFromDetectionToPanelShown) {
    m_pty.closeLink();
    m_board.setPacing(sim::Pacing::Wire); // bytes as a 115200-baud line carries them
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(m_pty.detect(), 1);
    const qint64 detected = timer.elapsed();
    TZ410Dlg &panel = openPanel();
    QCoreApplication::processEvents();
    EXPECT_TRUE(panel.isVisible());
    std::printf("panel creation on the virtual board: detection %lld ms, detection to panel "
                "shown %lld ms\n",
                static_cast<long long>(detected), static_cast<long long>(timer.elapsed()));
}

} // namespace
