#pragma once
// Where the command line talks: results on standard output, the program's messages and the
// progress line on standard error. The progress line is drawn only on a terminal.

#include <QString>
#include <QStringList>

#include <ostream>

namespace cli {

class Console {
  public:
    Console(std::ostream &out, std::ostream &err, bool progressOnTerminal)
        : m_out(out), m_err(err), m_progress(progressOnTerminal) {}

    std::ostream &out() { return m_out; }
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
    std::ostream &m_out;
    std::ostream &m_err;
    bool m_progress;
    bool m_progressShown = false;
    QStringList m_messages;
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
