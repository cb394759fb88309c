#pragma once
// The main window with the real VXC5480 panel, detecting a virtual board on a pty through the
// program's own serial transport.

#include "app/main_window_layout.h"
#include "app/pellorin_dlg.h"
#include "app/system_menu.h"
#include "link/protocol.h"
#include "link/serial_transport.h"
#include "panel_8ch/tz410_dlg.h"
#include "platform/busy_flags.h"
#include "platform/file_dialogs.h"
#include "platform/message_service.h"
#include "resources/main_window_ids.h"
#include "sim/virtual_board.h"
#include "tests/support/board_on_pty.h"
#include "tests/support/time_limits.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <vector>

using BoardFrame = std::array<uint8_t, 6>;
using BoardFrames = std::vector<BoardFrame>;

class PanelHostTest : public ::testing::Test {
  protected:
    explicit PanelHostTest(sim::Chip chip = sim::Chip::VXC5480) : pty(chip) {}

    void SetUp() override {
        ASSERT_TRUE(pty.start());
        dlg.setPortSearch(pty.search());
    }
    void TearDown() override {
        platform::SetFileDialogAnswer({});
        // Panels removed by a detection are freed here, before the window goes.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void clickDetect() { QTest::mouseClick(dlg.control(mainwindow::kDetectEvm), Qt::LeftButton); }
    TZ410Dlg *panel() const { return qobject_cast<TZ410Dlg *>(dlg.m_pPanel.data()); }
    // The busy flags of the board the window drives now (detected first).
    BusyFlags &busy() const { return dlg.currentBoard()->busy(); }
    QLineEdit *edit(int id) const { return qobject_cast<QLineEdit *>(dlg.control(id)); }
    QString portLabel() const {
        return qobject_cast<QLabel *>(dlg.control(mainwindow::kPortLabel))->text();
    }
    // Fills the chart's count and statistics as an acquisition would have left them.
    void dirtyChartView() {
        edit(mainwindow::kDataCount)->setText(QStringLiteral("99"));
        edit(mainwindow::kMinimum)->setText(QStringLiteral("-1.5"));
        edit(mainwindow::kMaximum)->setText(QStringLiteral("2.5"));
        edit(mainwindow::kAverage)->setText(QStringLiteral("0.5"));
    }
    bool chartViewIsReset() const {
        return edit(mainwindow::kDataCount)->text() == QStringLiteral("45") &&
               edit(mainwindow::kMinimum)->text().isEmpty() &&
               edit(mainwindow::kMaximum)->text().isEmpty() &&
               edit(mainwindow::kAverage)->text().isEmpty();
    }

    static BoardFrame frameOf(uint8_t code, uint8_t param1, uint8_t param2 = 0) {
        return BoardFrame{0x55,   0x01,   code,
                          param1, param2, static_cast<uint8_t>(~(code + param1 + param2))};
    }
    // The detection handshake, then the panel's start read of 0x00 to 0x0A.
    static BoardFrames detectionAndStartRead() {
        BoardFrames frames{frameOf(0xF0, 0), frameOf(0x0A, 0)};
        for (uint8_t a = 0; a < 11; ++a)
            frames.push_back(frameOf(0x02, a));
        return frames;
    }

    platform::MessageRecorder messages;
    BoardOnPty pty;
    sim::VirtualBoard &board = pty.board();
    CPellorinDlg dlg;
};
