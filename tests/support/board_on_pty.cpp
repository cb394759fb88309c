#include "board_on_pty.h"

#include "link/detection.h"

BoardOnPty::BoardOnPty(sim::Chip chip, sim::Pacing pacing) : m_board(chip) {
    m_board.setPacing(pacing);
}

BoardOnPty::~BoardOnPty() {
    m_session.reset();
}

bool BoardOnPty::start() {
    return m_board.start();
}

QString BoardOnPty::port() const {
    return QString::fromStdString(m_board.portPath());
}

PortSearch BoardOnPty::search() const {
    return {{port()}, false};
}

int BoardOnPty::detect() {
    m_session.reset();
    Detection found = DetectEvm(search(), static_cast<int>(m_board.chip()));
    if (found.link)
        m_session = std::make_shared<BoardSession>(std::move(found.link));
    m_board.clearReceivedFrames();
    return found.number;
}

std::vector<uint8_t> BoardOnPty::sentItems(std::size_t atLeast) const {
    m_board.waitForSentItemBytes(atLeast, kEventWaitLimitMs);
    return m_board.sentItemBytes();
}

bool BoardOnPty::waitForSentBytes(uint64_t count) const {
    return m_board.waitForSentBytes(count, kEventWaitLimitMs);
}
