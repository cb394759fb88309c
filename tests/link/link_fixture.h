#pragma once
// Link tests run the program's own transport against virtual boards on pseudo-terminals.

#include "link/protocol.h"
#include "link/result_codes.h"
#include "link/serial_transport.h"
#include "platform/message_service.h"
#include "sim/virtual_board.h"
#include "tests/support/time_limits.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using Frame = std::array<uint8_t, 6>;

class LinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetTimeLimitDivisorForTests(kTestTimeLimitDivisor);
        SetPreferredPorts({});
        g_chipId = 1;
    }
    void TearDown() override {
        ClosePort();
        SetPreferredPorts({});
        SetTimeLimitDivisorForTests(1);
    }

    sim::VirtualBoard &startBoard(sim::Chip chip = sim::Chip::VXC5480) {
        auto board = std::make_unique<sim::VirtualBoard>(chip);
        EXPECT_TRUE(board->start());
        m_boards.push_back(std::move(board));
        return *m_boards.back();
    }

    // Detects the first board started, as "Detect EVM" does.
    sim::VirtualBoard &connectBoard(sim::Chip chip = sim::Chip::VXC5480) {
        sim::VirtualBoard &board = startBoard(chip);
        SetPreferredPorts({QString::fromStdString(board.portPath())});
        g_chipId = static_cast<int>(chip);
        EXPECT_EQ(DetectEvm(), 1);
        board.clearReceivedFrames();
        return board;
    }

    std::vector<std::unique_ptr<sim::VirtualBoard>> m_boards;
};
