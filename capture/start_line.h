#pragma once
// The captures of many boards start streaming together: each waits here once it is ready
// (board found, registers read, files checked), and all go on one clock taken as the last one
// arrives, so every board's files record the same run_start_utc. A board that never gets
// there (it failed first) leaves, so the others do not wait for it. Shared by the command
// line's --all-boards and the Python module's capture_all.

#include "capture_settings.h"

#include <barrier>
#include <chrono>
#include <cstddef>

namespace capture {

class StartLine {
  public:
    explicit StartLine(std::ptrdiff_t boards) : m_barrier(boards, Completion{this}) {}

    // One board's place at the line, taken on its own thread; leaving without arriving (a
    // failure before the start) lets the others go without it.
    class Seat {
      public:
        explicit Seat(StartLine *line) : m_line(line) {}
        ~Seat() {
            if (m_line && !m_arrived)
                m_line->m_barrier.arrive_and_drop();
        }
        Seat(const Seat &) = delete;
        Seat &operator=(const Seat &) = delete;
        RunClock startTogether() {
            if (m_arrived)
                return m_line->m_clock;
            m_arrived = true;
            m_line->m_barrier.arrive_and_wait();
            return m_line->m_clock;
        }

      private:
        StartLine *m_line;
        bool m_arrived = false;
    };

  private:
    struct Completion {
        StartLine *line;
        void operator()() noexcept {
            line->m_clock = {std::chrono::steady_clock::now(), std::chrono::system_clock::now()};
        }
    };
    RunClock m_clock;
    std::barrier<Completion> m_barrier;
};

} // namespace capture
