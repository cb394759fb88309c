#pragma once
// Panel tests drive a real TZ410Dlg whose exchanges go through the program's serial transport
// to a virtual board on a pty.

#include "panel_8ch/tz410_all_dlg.h"
#include "panel_8ch/tz410_cal_dlg.h"
#include "panel_8ch/tz410_clock_dlg.h"
#include "panel_8ch/tz410_dlg.h"
#include "panel_8ch/tz410_io_dlg.h"
#include "panel_8ch/tz410_mux_dlg.h"
#include "panel_8ch/tz410_power_dlg.h"
#include "panel_8ch/tz410_status_dlg.h"
#include "platform/busy_flags.h"
#include "tests/support/time_limits.h"

#include "link/frames.h"
#include "link/protocol.h"
#include "link/serial_transport.h"
#include "platform/message_service.h"
#include "sim/virtual_board.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using Frame = std::array<uint8_t, 6>;
using Frames = std::vector<Frame>;

inline Frame WriteFrameOf(uint8_t address, uint8_t value) {
    return BuildCommandFrame(1, command::kWriteRegister, address, value);
}
inline Frame ReadFrameOf(uint8_t address) {
    return BuildCommandFrame(1, command::kReadRegister, address, 0);
}
inline Frame CommandFrameOf(uint8_t code) {
    return BuildCommandFrame(1, code, 0, 0);
}
inline Frames ReadAllFrames() {
    Frames frames;
    for (uint8_t a = 0; a < 11; ++a)
        frames.push_back(ReadFrameOf(a));
    return frames;
}

class PanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetTimeLimitDivisorForTests(kTestTimeLimitDivisor);
        g_acquiring = g_registerBusy = g_calibrating = 0;
        ASSERT_TRUE(m_board.start());
        SetPreferredPorts({QString::fromStdString(m_board.portPath())});
        g_chipId = 1;
        ASSERT_EQ(DetectEvm(), 1);
        m_board.clearReceivedFrames();
    }
    void TearDown() override {
        m_panel.reset();
        ClosePort();
        SetPreferredPorts({});
        SetTimeLimitDivisorForTests(1);
        g_acquiring = g_registerBusy = g_calibrating = 0;
    }

    // Creates and shows the panel as the main window does, then forgets its start frames.
    TZ410Dlg &openPanel() {
        m_panel = std::make_unique<TZ410Dlg>();
        EXPECT_TRUE(m_panel->OnInitDialog());
        m_panel->show();
        m_board.clearReceivedFrames();
        return *m_panel;
    }

    void selectTab(int tab) {
        static_cast<QTabBar *>(m_panel->control(TZ410Dlg::kTabControl))->setCurrentIndex(tab);
    }
    void click(QWidget *widget) { static_cast<QAbstractButton *>(widget)->click(); }
    // Chooses a list item as the user would.
    static void choose(QWidget *list, int index) {
        auto *combo = static_cast<QComboBox *>(list);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    static QString text(QWidget *edit) { return static_cast<QLineEdit *>(edit)->text(); }

    void failCommand(uint8_t code, int status) {
        sim::Faults faults;
        faults.statusForCommand[code] = status;
        m_board.setFaults(faults);
    }
    // Register reads and writes of this one address fail with the status; the rest work.
    void failAddress(uint8_t address, int status) {
        sim::Faults faults;
        faults.statusForAddress[address] = status;
        m_board.setFaults(faults);
    }

    sim::VirtualBoard m_board{sim::Chip::VXC5480};
    std::unique_ptr<TZ410Dlg> m_panel;
};
