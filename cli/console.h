#pragma once
// Where the command line talks: results on standard output, the program's messages and the
// progress line on standard error. The progress line is drawn only on a terminal.

#include <QString>
#include <QStringList>

#include <chrono>
#include <mutex>
#include <ostream>

namespace cli {

class Console {
  public:
    Console(std::ostream &out, std::ostream &err, bool progressOnTerminal)
        : m_out(out), m_err(err), m_progress(progressOnTerminal) {}

    std::ostream &out() { return m_out; }
    // Many boards share standard error: every line then names its board and is written whole
    // under errLock, and the progress comes as a line of its own now and then instead of one
    // redrawn in place.
    void shareErrorStream(const QString &board, std::mutex &errLock,
                          std::chrono::milliseconds progressEvery);
    // "pellorin-cli: " and the text, on a line of its own.
    void message(const QString &text);
    // "\r" + label + percent, redrawn in place; nothing when not on a terminal.
    void progress(const QString &label, int percent);
    // A free-form progress line, redrawn in place; nothing when not on a terminal.
    void status(const QString &line);
    void endProgress();
    // Every message given so far, in order, without the program's name.
    const QStringList &messages() const { return m_messages; }

  private:
    void writeLine(const QString &text);
    // Shared: the progress line as a line of its own when it is due; true when it was written.
    bool progressLine(const QString &line);

    std::ostream &m_out;
    std::ostream &m_err;
    bool m_progress;
    bool m_progressShown = false;
    QStringList m_messages;
    QString m_board;
    std::mutex *m_errLock = nullptr;
    std::chrono::milliseconds m_progressEvery{0};
    std::chrono::steady_clock::time_point m_lastProgress{};
};

// While alive, every message of the program's layers goes to the console instead of a box.
class ConsolePresenter {
  public:
    explicit ConsolePresenter(Console &console);
    ~ConsolePresenter();
    ConsolePresenter(const ConsolePresenter &) = delete;
    ConsolePresenter &operator=(const ConsolePresenter &) = delete;
};

} // namespace cli
