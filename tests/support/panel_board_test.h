#pragma once
// Panel tests drive a real chip panel whose exchanges go through the program's serial transport
// to a virtual board on a pty.

#include "link/frames.h"
#include "link/protocol.h"
#include "link/serial_transport.h"
#include "platform/busy_flags.h"
#include "platform/message_service.h"
#include "sim/virtual_board.h"
#include "tests/support/board_on_pty.h"
#include "tests/support/time_limits.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using Frame = std::array<uint8_t, 6>;
using Frames = std::vector<Frame>;

// The frames a panel sends to a chip with registers 0 to RegisterCount - 1. Built from
// constants, so that test tables made before any test runs hold the right chip id.
template <int ChipId, int RegisterCount> struct BoardFrames {
    static Frame write(uint8_t address, uint8_t value) {
        return BuildCommandFrame(ChipId, command::kWriteRegister, address, value);
    }
    static Frame read(uint8_t address) {
        return BuildCommandFrame(ChipId, command::kReadRegister, address, 0);
    }
    static Frame command(uint8_t code, uint8_t param1 = 0) {
        return BuildCommandFrame(ChipId, code, param1, 0);
    }
    // The reads of every register, in address order.
    static Frames readAll() {
        Frames frames;
        for (int a = 0; a < RegisterCount; ++a)
            frames.push_back(read(static_cast<uint8_t>(a)));
        return frames;
    }
};

template <typename Panel> class PanelBoardTest : public ::testing::Test {
  protected:
    explicit PanelBoardTest(sim::Chip chip) : m_pty(chip) {}

    void SetUp() override {
        ASSERT_TRUE(m_pty.start());
        ASSERT_EQ(m_pty.detect(), 1);
    }
    void TearDown() override { m_panel.reset(); }

    // The busy flags of the board the panel drives.
    BusyFlags &busy() { return m_pty.session()->busy(); }

    // Creates the panel on this board, as the main window does, before its start.
    Panel &makePanel() {
        m_panel = std::make_unique<Panel>();
        m_panel->setBoard(m_pty.session());
        return *m_panel;
    }
    // Creates and shows the panel as the main window does, then forgets its start frames.
    Panel &openPanel() {
        makePanel();
        EXPECT_TRUE(m_panel->OnInitDialog());
        m_panel->show();
        m_board.clearReceivedFrames();
        return *m_panel;
    }

    void selectTab(int tab) {
        static_cast<QTabBar *>(m_panel->control(Panel::kTabControl))->setCurrentIndex(tab);
    }
    static void click(QWidget *widget) { static_cast<QAbstractButton *>(widget)->click(); }
    // Chooses a list item as the user would; choosing the shown item again counts too.
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

    BoardOnPty m_pty;
    sim::VirtualBoard &m_board = m_pty.board();
    std::unique_ptr<Panel> m_panel;
};
