#pragma once
// One call into the board from Python: the GIL let go while the board is waited for, so other
// Python threads run; the program's messages gathered (they become the exception's text)
// instead of shown; and Ctrl-C looked for at least every 0.1 s, the GIL taken back for a moment
// to let Python's signal handlers run.

#include "errors.h"

#include "platform/message_service.h"

#include <QString>
#include <QStringList>

#include <pybind11/pybind11.h>

#include <atomic>
#include <chrono>
#include <exception>
#include <mutex>
#include <optional>

namespace pellorin_py {

// Gathers the program's messages told on the calling thread while it lives (each Board's call
// on its own thread keeps its own); the exceptions carry them.
class MessageGatherer {
  public:
    const QStringList &texts();
    void clear();
    // The messages told, one per line; fallback when none was.
    QString text(const QString &fallback = QString());

  private:
    platform::HeldMessages m_held;
    QStringList m_texts;
};

class Interrupt {
  public:
    Interrupt() = default;
    // For a call on a worker thread, where Python's signal handlers never run: stopped when
    // stop is set (by the thread that looks for Ctrl-C for all of them), never raising itself.
    explicit Interrupt(const std::atomic<bool> &stop) : m_stop(&stop) {}
    ~Interrupt();
    Interrupt(const Interrupt &) = delete;
    Interrupt &operator=(const Interrupt &) = delete;

    // True once a signal handler raised (KeyboardInterrupt, or whatever the script's own handler
    // raises). Cheap: Python is asked at most every kCheckInterval, with the GIL taken briefly.
    // Only while the GIL is released (inside WithoutGil).
    bool check();
    bool caught() const { return m_type != nullptr || (m_stop && m_stop->load()); }
    // A read's wait hook (link/serial_transport.h's ReadWaitHook): looks for Ctrl-C while the
    // board is waited for and gives the read up once it came.
    int whileWaiting();
    // With the GIL held: raises the caught exception, if any.
    void raiseIfCaught();

    static constexpr std::chrono::milliseconds kCheckInterval{50};

    // The program's messages told during the call.
    MessageGatherer &messages() { return m_messages; }
    // Holds mutex for the rest of the call (a Board's call lock, which close() from another
    // thread waits on).
    void holdForCall(std::mutex &mutex) {
        if (!m_callLock.owns_lock())
            m_callLock = std::unique_lock(mutex);
    }

  private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_last = Clock::now();
    const std::atomic<bool> *m_stop = nullptr;
    PyObject *m_type = nullptr;
    PyObject *m_value = nullptr;
    PyObject *m_trace = nullptr;
    MessageGatherer m_messages;
    std::unique_lock<std::mutex> m_callLock; // released as the call ends
};

// Runs work(interrupt) with the GIL released. A caught interrupt wins over any failure of the
// work: the script asked to stop, and the board was left clean either way.
template <typename Work> auto WithoutGil(Work &&work) {
    Interrupt interrupt;
    std::exception_ptr failure;
    using Result = decltype(work(interrupt));
    if constexpr (std::is_void_v<Result>) {
        {
            pybind11::gil_scoped_release release;
            try {
                work(interrupt);
            } catch (...) {
                failure = std::current_exception();
            }
        }
        interrupt.raiseIfCaught();
        if (failure)
            std::rethrow_exception(failure);
    } else {
        std::optional<Result> result;
        {
            pybind11::gil_scoped_release release;
            try {
                result.emplace(work(interrupt));
            } catch (...) {
                failure = std::current_exception();
            }
        }
        interrupt.raiseIfCaught();
        if (failure)
            std::rethrow_exception(failure);
        return std::move(*result);
    }
}

} // namespace pellorin_py
