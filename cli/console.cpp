#include "console.h"

#include "platform/message_service.h"

namespace cli {

void Console::shareErrorStream(const QString &board, std::mutex &errLock,
                               std::chrono::milliseconds progressEvery) {
    m_board = board;
    m_errLock = &errLock;
    m_progressEvery = progressEvery;
    m_progress = false;
    // The first line after a while: at the start there is nothing to say yet.
    m_lastProgress = std::chrono::steady_clock::now();
}

void Console::writeLine(const QString &text) {
    const std::string line =
        "pellorin-cli: " + (m_board.isEmpty() ? QString() : m_board + u':' + u' ').toStdString() +
        text.toStdString() + '\n';
    if (!m_errLock) {
        m_err << line;
        m_err.flush();
        return;
    }
    const std::lock_guard lock(*m_errLock);
    m_err << line;
    m_err.flush();
}

bool Console::progressLine(const QString &line) {
    if (!m_errLock)
        return false;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastProgress < m_progressEvery)
        return true;
    m_lastProgress = now;
    writeLine(line);
    return true;
}

void Console::message(const QString &text) {
    m_messages << text;
    endProgress();
    writeLine(text);
}

void Console::progress(const QString &label, int percent) {
    if (progressLine(QStringLiteral("%1 %2%").arg(label).arg(percent)) || !m_progress)
        return;
    m_err << '\r' << label.toStdString() << ' ' << percent << '%';
    m_err.flush();
    m_progressShown = true;
}

void Console::status(const QString &line) {
    if (progressLine(line) || !m_progress)
        return;
    m_err << "\r\033[K" << line.toStdString();
    m_err.flush();
    m_progressShown = true;
}

void Console::endProgress() {
    if (!m_progressShown)
        return;
    // Blank the line so the next text starts clean.
    m_err << "\r\033[K";
    m_err.flush();
    m_progressShown = false;
}

ConsolePresenter::ConsolePresenter(Console &console) {
    platform::SetMessagePresenter(
        [&console](const platform::Message &message) { console.message(message.text); });
}

ConsolePresenter::~ConsolePresenter() {
    platform::SetMessagePresenter({});
}

} // namespace cli
