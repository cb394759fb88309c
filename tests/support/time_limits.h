#pragma once
// The tests' one rule on time limits. Tests wait the program's own limits (3000 ms for a
// reply): a loaded machine delays a reply, it never loses one. Only a test whose point is
// silence (a board that answers nothing, a stream that stops) shortens them, and only while an
// ExpectSilence lives: to 500 ms, still far more than a reply over a pty takes, even on a
// loaded machine under the sanitizers.

#include "link/board_link.h"

// Shortens the limits of the links opened while it lives and, when given, of one link open
// already.
class ExpectSilence {
  public:
    explicit ExpectSilence(BoardLink *link = nullptr) : m_link(link) {
        SetTimeLimitDivisorForTests(kDivisor);
        if (m_link)
            m_link->setTimeLimitDivisor(kDivisor);
    }
    ~ExpectSilence() {
        SetTimeLimitDivisorForTests(1);
        if (m_link)
            m_link->setTimeLimitDivisor(1);
    }
    ExpectSilence(const ExpectSilence &) = delete;
    ExpectSilence &operator=(const ExpectSilence &) = delete;

  private:
    static constexpr int kDivisor = 6;
    BoardLink *m_link;
};
