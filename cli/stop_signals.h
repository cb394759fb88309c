#pragma once
// SIGINT and SIGTERM during a long run (capture, scan): counted instead of ending the program,
// so the run stops at a point of its own choosing, leaves the board as it found it and prints
// what it has. A file-size limit (SIGXFSZ) fails the write (EFBIG) instead of ending the
// program. The handlers before are restored when the object goes. Objects made while one
// lives (boards run together) share its count.

#include <QString>

#include <csignal>

namespace cli {

class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // SIGINT and SIGTERM received since the object was made.
    static int count();
    // "SIGINT" or "SIGTERM", the first one received; empty when none came.
    static QString firstName();

  private:
    struct sigaction m_interrupt {};
    struct sigaction m_terminate {};
    struct sigaction m_fileSize {};
};

} // namespace cli
