#pragma once
// Acquisition tests talk to a virtual board on a pty through the program's own transport.

#include "link/protocol.h"
#include "link/result_codes.h"
#include "link/serial_transport.h"
#include "platform/message_service.h"
#include "sim/virtual_board.h"
#include "tests/support/board_on_pty.h"
#include "tests/support/time_limits.h"

#include <gtest/gtest.h>

#include <vector>

class AcqBoardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.start());
        ASSERT_EQ(m_pty.detect(), 1);
    }
    sim::VirtualBoard &board() { return m_pty.board(); }
    BoardLink &link() { return m_pty.link(); }
    std::vector<uint8_t> sentItems(size_t atLeastBytes) { return m_pty.sentItems(atLeastBytes); }

    BoardOnPty m_pty{sim::Chip::VXC5480, sim::Pacing::None};
};
