#pragma once
// A virtual board on a pseudo-terminal, reached through the program's own serial transport:
// how every fixture that crosses the wire starts a board, names its port, detects it and
// leaves the link as it found it.

#include "link/board_session.h"
#include "sim/virtual_board.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class BoardOnPty {
  public:
    explicit BoardOnPty(sim::Chip chip = sim::Chip::VXC5480,
                        sim::Pacing pacing = sim::Pacing::Wire);
    // Closes the link found by detect(); then the board goes.
    ~BoardOnPty();
    BoardOnPty(const BoardOnPty &) = delete;
    BoardOnPty &operator=(const BoardOnPty &) = delete;

    // Opens the pseudo-terminal and serves it; false if none could be made.
    [[nodiscard]] bool start();
    sim::VirtualBoard &board() { return m_board; }
    const sim::VirtualBoard &board() const { return m_board; }
    sim::Chip chip() const { return m_board.chip(); }
    // The device path the program opens.
    QString port() const;

    // A search of this board's port alone, as "Detect EVM" makes it.
    PortSearch search() const;
    // As "Detect EVM" with this board's chip selected, on this board's port alone: the number
    // DetectEvm returns (1, or -1); the link found is kept as session(). The frames of the
    // handshake are forgotten.
    int detect();
    // The board found by detect(), null before; link() is its link.
    const std::shared_ptr<BoardSession> &session() const { return m_session; }
    BoardLink &link() const { return m_session->link(); }
    // Closes the link found (a test that needs the port free again).
    void closeLink() { m_session.reset(); }

    // The item bytes the board has sent since the last clear, once it has sent at least
    // atLeast of them: it records an item as it writes it, which may be after the program
    // has read it.
    std::vector<uint8_t> sentItems(std::size_t atLeast) const;
    // Waits until the board has written count bytes in all (replies, stray bytes, items).
    bool waitForSentBytes(uint64_t count) const;

  private:
    sim::VirtualBoard m_board;
    std::shared_ptr<BoardSession> m_session;
};

// Bounds a wait on an event that a passing test always sees; it only keeps a failing test
// from hanging.
constexpr int kEventWaitLimitMs = 30000;
