#pragma once
// Link tests run the program's own transport against virtual boards on pseudo-terminals.

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
    // The scans walk the candidates the tests name; the machine's own serial devices are no
    // part of them (a silent one would cost a full time limit).
    void SetUp() override {
        SetPreferredPorts({});
        SetSystemPortsScanned(false);
        g_chipId = 1;
    }
    // For the tests that start no board; each board leaves the link as it found it.
    void TearDown() override {
        ClosePort();
        SetPreferredPorts({});
        SetSystemPortsScanned(true);
        g_chipId = 1;
    }

    sim::VirtualBoard &startBoard(sim::Chip chip = sim::Chip::VXC5480) {
        return startPty(chip).board();
    }

    // Detects the first board started, as "Detect EVM" does.
    sim::VirtualBoard &connectBoard(sim::Chip chip = sim::Chip::VXC5480) {
        BoardOnPty &pty = startPty(chip);
        EXPECT_EQ(pty.detect(), 1);
        return pty.board();
    }

    std::vector<std::unique_ptr<BoardOnPty>> m_boards;

  private:
    BoardOnPty &startPty(sim::Chip chip) {
        auto pty = std::make_unique<BoardOnPty>(chip);
        EXPECT_TRUE(pty->start());
        m_boards.push_back(std::move(pty));
        return *m_boards.back();
    }
};
