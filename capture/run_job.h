#pragma once
// One long job at a time on a thread of its own, for a window that must stay responsive while
// a run of a hundred million samples is read: the work runs on the thread and returns what is
// to be done with its result, which then runs on the window's thread. A new job cancels the
// one before (it sees its flag set and stops at its next chunk); a cancelled job's result is
// dropped, and so is any result whose window is gone.

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace capture {

class RunJob {
  public:
    using Finish = std::function<void()>;
    using Work = std::function<Finish(const std::atomic<bool> &cancel)>;

    ~RunJob() { cancel(); }

    // Cancels the job before, then starts work; its finish runs on receiver's thread.
    void start(QObject *receiver, Work work);
    // Stops the job at its next chunk and waits for its thread.
    void cancel();
    // True from start() until the finish has run (or the job was cancelled).
    bool busy() const { return m_busy; }

  private:
    std::thread m_thread;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    bool m_busy = false;
    unsigned m_generation = 0;
};

} // namespace capture
