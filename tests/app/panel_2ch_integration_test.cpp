// "Detect EVM" with "VXC5420" chosen: the real 2-channel panel in the main window, its start
// read, the refresh before every acquisition, and its creation time beside the 8-channel one.

#include "panel_host_fixture.h"

#include "acquisition/samples.h"
#include "panel_2ch/tz420_dlg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

using namespace mainwindow;

namespace {

BoardFrame Frame2(uint8_t code, uint8_t param1, uint8_t param2 = 0) {
    return BoardFrame{0x55,   0x02,   code,
                      param1, param2, static_cast<uint8_t>(~(code + param1 + param2))};
}

class Panel2HostTest : public PanelHostTest {
  protected:
    Panel2HostTest() : PanelHostTest(sim::Chip::VXC5420) {}
    void SetUp() override {
        PanelHostTest::SetUp();
        chooseModule(1);
    }
    void chooseModule(int index) {
        qobject_cast<QComboBox *>(dlg.control(kModuleList))->setCurrentIndex(index);
    }
    TZ420Dlg *panel2() const { return qobject_cast<TZ420Dlg *>(dlg.m_pPanel.data()); }
};

TEST_F(Panel2HostTest, DetectionCreatesTheTwoChannelPanel) {
    board.setRegisterValue(0x03, 0x5A);
    dlg.show();
    clickDetect();

    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join(u'|').toStdString();
    ASSERT_NE(panel2(), nullptr);
    EXPECT_EQ(panel2()->parentWidget(), dlg.clientArea());
    EXPECT_EQ(panel2()->pos(), kPanelOrigin);
    EXPECT_TRUE(panel2()->isVisible());
    EXPECT_TRUE(QRect(kPanelOrigin, kPanelArea).contains(panel2()->geometry()));
    BoardFrames expected{Frame2(0xF0, 0), Frame2(0x0A, 0)};
    for (uint8_t a = 0; a < 6; ++a)
        expected.push_back(Frame2(0x02, a));
    EXPECT_EQ(board.receivedFrames(), expected) << "no set-mode command at start";
    EXPECT_EQ(panel2()->m_current[3], 0x5A);
    EXPECT_TRUE(dlg.control(kStartAcquisition)->isEnabled());
}

TEST_F(Panel2HostTest, EveryAcquisitionFirstRereadsTheSixRegisters) {
    board.setPacing(sim::Pacing::None);
    clickDetect();
    ASSERT_NE(panel2(), nullptr);
    board.setRegisterValue(0x03, 0x77);
    board.clearReceivedFrames();
    edit(kDataCount)->setText(QStringLiteral("45"));
    QTest::mouseClick(dlg.control(kStartAcquisition), Qt::LeftButton);

    BoardFrames expected;
    for (uint8_t a = 0; a < 6; ++a)
        expected.push_back(Frame2(0x02, a));
    expected.push_back(Frame2(0x0F, 0x00, 0x2D));
    EXPECT_EQ(board.receivedFrames(), expected);
    EXPECT_EQ(g_samples.size(), 45u);
    EXPECT_EQ(panel2()->m_current[3], 0x77);
    EXPECT_EQ(static_cast<QComboBox *>(panel2()->control(TZ420Dlg::kRateList))->currentText(),
              "1280 SPS");
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join(u'|').toStdString();
}

// Detection to panel shown, clicked as the user does, on a 2-channel board and on an 8-channel
// board in the same run. Prints figures; asserts nothing on time.
TEST_F(Panel2HostTest, CreationTimeIsPrintedBesideTheEightChannelPanel) {
    BoardOnPty pty8(sim::Chip::VXC5480);
    ASSERT_TRUE(pty8.start());
    sim::VirtualBoard &board8 = pty8.board();
    dlg.show();
    for (sim::Pacing pacing : {sim::Pacing::None, sim::Pacing::Wire}) {
        for (int module : {1, 0}) {
            sim::VirtualBoard &target = module == 1 ? board : board8;
            target.setPacing(pacing);
            dlg.setPortSearch({{QString::fromStdString(target.portPath())}, false});
            chooseModule(module);
            std::vector<double> shown;
            for (int run = 0; run < 5; ++run) {
                QElapsedTimer timer;
                timer.start();
                clickDetect();
                shown.push_back(timer.nsecsElapsed() / 1e6);
                QCoreApplication::processEvents();
                ASSERT_NE(dlg.m_pPanel, nullptr);
                ASSERT_TRUE(dlg.m_pPanel->isVisible());
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            std::sort(shown.begin(), shown.end());
            std::printf("panel creation, %s, %s board: click to panel shown min %.1f ms, "
                        "median %.1f ms (5 runs)\n",
                        module == 1 ? "VXC5420" : "VXC5480",
                        pacing == sim::Pacing::None ? "unpaced" : "wire-rate", shown.front(),
                        shown[2]);
        }
    }
    // The window's link is to pty8's board, which goes first.
    dlg.close();
}

} // namespace
