// "Detect EVM" with the real VXC5480 panel: where it goes, what it read, its replacement by
// the next detection, and the keys it must not pass to the window.

#include "panel_host_fixture.h"

#include "panel_8ch/tz410_all_dlg.h"
#include "panel_8ch/tz410_cal_dlg.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QTabBar>

#include <algorithm>
#include <cstdio>

using namespace mainwindow;

namespace {

const uint8_t kChip[11] = {0x00, 0x38, 0x3B, 0x82, 0x15, 0x45, 0x23, 0x01, 0x00, 0x00, 0x40};

TEST_F(PanelHostTest, DetectionShowsThePanelHavingReadTheChip) {
    for (uint8_t a = 1; a < 11; ++a)
        board.setRegisterValue(a, kChip[a]);
    dlg.show();
    clickDetect();

    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join(u'|').toStdString();
    ASSERT_NE(panel(), nullptr);
    EXPECT_EQ(panel()->parentWidget(), dlg.clientArea());
    EXPECT_EQ(panel()->pos(), QPoint(15, 55));
    EXPECT_TRUE(panel()->isVisible());
    EXPECT_EQ(board.receivedFrames(), detectionAndStartRead());
    // The chip's bytes as read (IO reads its input pins' levels, not the byte stored).
    for (int a = 1; a < 11; ++a)
        EXPECT_EQ(panel()->m_current[a], board.registerValue(static_cast<uint8_t>(a))) << a;
    EXPECT_EQ(panel()->m_current[1], 0x38);
    EXPECT_EQ(panel()->m_pending, panel()->m_current);
    EXPECT_TRUE(dlg.control(kStartAcquisition)->isEnabled());
}

TEST_F(PanelHostTest, PanelStaysInItsAreaLeftOfTheChart) {
    dlg.show();
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    const QRect area(kPanelOrigin, kPanelArea);
    EXPECT_TRUE(area.contains(panel()->geometry())) << panel()->width() << "x" << panel()->height();
    // None of the window's own controls lies under the panel.
    for (QWidget *child : dlg.clientArea()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child == panel() || !child->isVisible())
            continue;
        EXPECT_FALSE(child->geometry().intersects(panel()->geometry()))
            << child->metaObject()->className() << " " << child->objectName().toStdString();
    }
}

TEST_F(PanelHostTest, SecondDetectionReplacesThePanel) {
    clickDetect();
    QPointer<CEVMDialog> first = dlg.m_pPanel;
    ASSERT_NE(panel(), nullptr);
    board.clearReceivedFrames();

    clickDetect();
    ASSERT_NE(panel(), nullptr);
    EXPECT_NE(dlg.m_pPanel, first);
    EXPECT_EQ(board.receivedFrames(), detectionAndStartRead());
    ASSERT_NE(first, nullptr); // freed only once the event loop has control again
    EXPECT_TRUE(first->isHidden());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(dlg.clientArea()->findChildren<CEVMDialog *>().size(), 1);
    EXPECT_FALSE(panel()->isHidden());
    EXPECT_TRUE(dlg.control(kStartAcquisition)->isEnabled());
}

TEST_F(PanelHostTest, FailedDetectionLeavesNoPanel) {
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    // The board stays on its port but answers nothing: a closed port could be handed to
    // another test's board at once, which would answer.
    sim::Faults silent;
    silent.silent = true;
    board.setFaults(silent);
    const ExpectSilence silence;

    clickDetect();
    EXPECT_EQ(dlg.m_pPanel, nullptr);
    EXPECT_EQ(portLabel(), QStringLiteral("Not Found"));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Can't find VXC5480 !")});
    EXPECT_FALSE(dlg.control(kStartAcquisition)->isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dlg.clientArea()->findChildren<CEVMDialog *>().isEmpty());
}

TEST_F(PanelHostTest, EscapeAndReturnInThePanelDoNotCloseTheWindow) {
    dlg.show();
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    QSignalSpy finished(&dlg, &QDialog::finished);
    static_cast<QTabBar *>(panel()->control(TZ410Dlg::kTabControl))->setCurrentIndex(6);
    QWidget *allRegsEdit = panel()->m_allPage->control(TZ410ALLDlg::kFirstWriteId + 1);
    QWidget *offsetEdit = panel()->m_calPage->control(TZ410CALDlg::kOffsetEdit);
    for (QWidget *target : {allRegsEdit, offsetEdit, panel()->control(TZ410Dlg::kRateList)}) {
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            target->setFocus();
            QTest::keyClick(target, key);
            EXPECT_TRUE(dlg.isVisible()) << target->metaObject()->className() << " " << key;
        }
    }
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(panel()->isVisible());
}

// Detection to panel shown, clicked as the user does. Prints figures; asserts nothing on time.
TEST_F(PanelHostTest, CreationTimeIsPrinted) {
    dlg.show();
    for (sim::Pacing pacing : {sim::Pacing::None, sim::Pacing::Wire}) {
        board.setPacing(pacing);
        std::vector<double> shown, painted;
        for (int run = 0; run < 5; ++run) {
            QElapsedTimer timer;
            timer.start();
            clickDetect();
            shown.push_back(timer.nsecsElapsed() / 1e6);
            QCoreApplication::processEvents(); // the first paint of the new panel
            painted.push_back(timer.nsecsElapsed() / 1e6);
            ASSERT_NE(panel(), nullptr);
            ASSERT_TRUE(panel()->isVisible());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        std::sort(shown.begin(), shown.end());
        std::sort(painted.begin(), painted.end());
        std::printf("panel creation, %s board: click to panel shown min %.1f ms, median %.1f ms; "
                    "to first paint median %.1f ms (5 runs)\n",
                    pacing == sim::Pacing::None ? "unpaced" : "wire-rate", shown.front(), shown[2],
                    painted[2]);
    }
}

} // namespace
