#include "board_on_pty.h"

#include "link/protocol.h"
#include "link/serial_transport.h"

BoardOnPty::BoardOnPty(sim::Chip chip, sim::Pacing pacing) : m_board(chip) {
    m_board.setPacing(pacing);
}

BoardOnPty::~BoardOnPty() {
    ClosePort();
    SetPreferredPorts({});
    SetSystemPortsScanned(true);
    g_chipId = 1;
}

bool BoardOnPty::start() {
    return m_board.start();
}

QString BoardOnPty::port() const {
    return QString::fromStdString(m_board.portPath());
}

void BoardOnPty::prefer() const {
    SetPreferredPorts({port()});
}

int BoardOnPty::detect() {
    prefer();
    g_chipId = static_cast<int>(m_board.chip());
    const int number = DetectEvm();
    m_board.clearReceivedFrames();
    return number;
}

std::vector<uint8_t> BoardOnPty::sentItems(std::size_t atLeast) const {
    m_board.waitForSentItemBytes(atLeast, kEventWaitLimitMs);
    return m_board.sentItemBytes();
}

bool BoardOnPty::waitForSentBytes(uint64_t count) const {
    return m_board.waitForSentBytes(count, kEventWaitLimitMs);
}
