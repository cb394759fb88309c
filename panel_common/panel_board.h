#pragma once
// The board a chip panel drives, as the panel and its pages reach it: its exchanges, its busy
// flags and its chip's name. A panel made without a board (a test of its facts alone) fails
// every exchange as a closed port does and keeps busy flags of its own.

#include "link/board_session.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class PanelBoard {
  public:
    // The panel shares the board with whoever found it: a board closed under a running handler
    // (a detection from a message box's event loop) stays an object, whose exchanges fail.
    void setSession(std::shared_ptr<BoardSession> session) { m_session = std::move(session); }
    BoardSession *session() const { return m_session.get(); }

    int sendCommand(uint8_t code, uint8_t argument);
    int writeRegister(uint8_t address, uint8_t value);
    int readRegister(uint8_t address, uint8_t &value);
    // The whole-register transfers with their address messages (link/register_range.h).
    int readRange(QObject *owner, uint8_t *image, int count);
    int writeRange(QObject *owner, const uint8_t *pending, uint8_t *current, int count);

    BusyFlags &busy() { return m_session ? m_session->busy() : m_unboarded; }
    bool acquiring() const { return (m_session ? m_session->busy() : m_unboarded).acquiring; }
    // The catalogue name of the chip the board was found with; empty without a board.
    QString chipName() const { return m_session ? m_session->link().chipName() : QString(); }

  private:
    // A board lost (see BoardSession::lost) refuses the exchange, saying why; true then.
    bool refusedAsLost(QObject *owner) const;

    std::shared_ptr<BoardSession> m_session;
    BusyFlags m_unboarded;
};
