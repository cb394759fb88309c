#pragma once
// Tests of the VXC5420 panel drive a real TZ420Dlg whose exchanges go through the program's
// serial transport to a virtual 2-channel board on a pty.

#include "panel_2ch/tz420_all_dlg.h"
#include "panel_2ch/tz420_dlg.h"
#include "panel_2ch/tz420_mux_dlg.h"
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

namespace tz420test {

using Frame = std::array<uint8_t, 6>;
using Frames = std::vector<Frame>;

inline Frame WriteFrameOf(uint8_t address, uint8_t value) {
    return BuildCommandFrame(2, command::kWriteRegister, address, value);
}
inline Frame ReadFrameOf(uint8_t address) {
    return BuildCommandFrame(2, command::kReadRegister, address, 0);
}
inline Frame SetModeFrameOf(uint8_t mode) {
    return BuildCommandFrame(2, command::kSetMode, mode, 0);
}
inline Frames ReadAllFrames() {
    Frames frames;
    for (uint8_t a = 0; a < 6; ++a)
        frames.push_back(ReadFrameOf(a));
    return frames;
}

class Panel2Test : public ::testing::Test {
  protected:
    void SetUp() override {
        SetTimeLimitDivisorForTests(kTestTimeLimitDivisor);
        g_acquiring = g_registerBusy = g_calibrating = 0;
        ASSERT_TRUE(m_board.start());
        SetPreferredPorts({QString::fromStdString(m_board.portPath())});
        g_chipId = 2;
        ASSERT_EQ(DetectEvm(), 1);
        m_board.clearReceivedFrames();
    }
    void TearDown() override {
        m_panel.reset();
        ClosePort();
        SetPreferredPorts({});
        SetTimeLimitDivisorForTests(1);
        g_acquiring = g_registerBusy = g_calibrating = 0;
        g_chipId = 1;
    }

    // Creates and shows the panel as the main window does, then forgets its start frames.
    TZ420Dlg &openPanel() {
        m_panel = std::make_unique<TZ420Dlg>();
        EXPECT_TRUE(m_panel->OnInitDialog());
        m_panel->show();
        m_board.clearReceivedFrames();
        return *m_panel;
    }
    // Sets the chip's registers as stored bytes (the board's own rules not applied).
    void loadChip(const std::array<uint8_t, 6> &values) {
        for (uint8_t a = 0; a < 6; ++a)
            m_board.setRegisterValue(a, values[a]);
    }

    QComboBox *list(int id) const { return static_cast<QComboBox *>(m_panel->control(id)); }
    void selectTab(int tab) {
        static_cast<QTabBar *>(m_panel->control(TZ420Dlg::kTabControl))->setCurrentIndex(tab);
    }
    static void click(QWidget *widget) { static_cast<QAbstractButton *>(widget)->click(); }
    void write() { click(m_panel->control(TZ420Dlg::kWriteButton)); }
    void read() { click(m_panel->control(TZ420Dlg::kReadButton)); }
    // Chooses a list item as the user would; choosing the shown item again counts too.
    static void choose(QComboBox *combo, int index) {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void typeWrite(int row, const QString &text) { m_panel->m_allPage->setWriteText(row, text); }

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

    sim::VirtualBoard m_board{sim::Chip::VXC5420};
    std::unique_ptr<TZ420Dlg> m_panel;
};

} // namespace tz420test
