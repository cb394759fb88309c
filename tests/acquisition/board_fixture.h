#pragma once
// Acquisition tests talk to a virtual board on a pty through the program's own transport.

#include "link/protocol.h"
#include "link/result_codes.h"
#include "link/serial_transport.h"
#include "platform/message_service.h"
#include "sim/virtual_board.h"
#include "tests/support/time_limits.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QThread>

#include <memory>
#include <vector>

class AcqBoardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetTimeLimitDivisorForTests(kTestTimeLimitDivisor);
        m_board = std::make_unique<sim::VirtualBoard>(sim::Chip::VXC5480);
        m_board->setPacing(sim::Pacing::Unpaced);
        ASSERT_TRUE(m_board->start());
        SetPreferredPorts({QString::fromStdString(m_board->portPath())});
        g_chipId = 1;
        ASSERT_EQ(DetectEvm(), 1);
        m_board->clearReceivedFrames();
    }
    void TearDown() override {
        ClosePort();
        SetPreferredPorts({});
        SetTimeLimitDivisorForTests(1);
    }
    sim::VirtualBoard &board() { return *m_board; }

    // The board notes an item just after writing it: wait for its record to catch up.
    std::vector<uint8_t> sentItems(size_t atLeastBytes) {
        const QDeadlineTimer deadline(2000);
        std::vector<uint8_t> sent = m_board->sentItemBytes();
        while (sent.size() < atLeastBytes && !deadline.hasExpired()) {
            QThread::msleep(1);
            sent = m_board->sentItemBytes();
        }
        return sent;
    }

    std::unique_ptr<sim::VirtualBoard> m_board;
};
