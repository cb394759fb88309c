#pragma once
// One board as the program drives it: its link, and what holds the board now (its busy
// flags). Whoever drives a board holds its session; nothing reaches for "the" board. A stream
// (the one-shot acquisition, a capture, a scan) takes the link to its job's thread for the run
// (PortWorker) and gives it back before its end.

#include "board_link.h"

#include "platform/busy_flags.h"

#include <QString>

#include <memory>
#include <mutex>

class BoardSession {
  public:
    explicit BoardSession(std::unique_ptr<BoardLink> link) : m_link(std::move(link)) {}

    BoardLink &link() { return *m_link; }
    const BoardLink &link() const { return *m_link; }
    BusyFlags &busy() { return m_busy; }
    const BusyFlags &busy() const { return m_busy; }

    // Why the board is lost (a capture that waited for it in vain, or waits now); empty while
    // it is not. Set on the stream's thread, read on the window's.
    void setLost(const QString &why) {
        const std::lock_guard lock(m_lostMutex);
        m_lost = why;
    }
    QString lost() const {
        const std::lock_guard lock(m_lostMutex);
        return m_lost;
    }

  private:
    std::unique_ptr<BoardLink> m_link;
    BusyFlags m_busy;
    mutable std::mutex m_lostMutex;
    QString m_lost;
};
