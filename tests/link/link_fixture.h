#pragma once
// Link tests run the program's own transport against virtual boards on pseudo-terminals.

#include "link/board_link.h"
#include "link/protocol.h"
#include "link/result_codes.h"
#include "link/serial_transport.h"
#include "platform/message_service.h"
#include "sim/virtual_board.h"
#include "tests/support/board_on_pty.h"
#include "tests/support/time_limits.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using Frame = std::array<uint8_t, 6>;

class LinkTest : public ::testing::Test {
  protected:
    sim::VirtualBoard &startBoard(sim::Chip chip = sim::Chip::VXC5480) {
        return startPty(chip).board();
    }

    // Detects the first board started, as "Detect EVM" does; its link is link().
    sim::VirtualBoard &connectBoard(sim::Chip chip = sim::Chip::VXC5480) {
        BoardOnPty &pty = startPty(chip);
        EXPECT_EQ(pty.detect(), 1);
        m_connected = &pty;
        return pty.board();
    }
    BoardLink &link() { return m_connected->link(); }

    std::vector<std::unique_ptr<BoardOnPty>> m_boards;

  private:
    BoardOnPty &startPty(sim::Chip chip) {
        auto pty = std::make_unique<BoardOnPty>(chip);
        EXPECT_TRUE(pty->start());
        m_boards.push_back(std::move(pty));
        return *m_boards.back();
    }
    BoardOnPty *m_connected = nullptr;
};
