#include "console.h"

#include "platform/message_service.h"

namespace cli {

void Console::message(const QString &text) {
    m_messages << text;
    endProgress();
    m_err << "pellorin-cli: " << text.toStdString() << '\n';
    m_err.flush();
}

void Console::progress(const QString &label, int percent) {
    if (!m_progress)
        return;
    m_err << '\r' << label.toStdString() << ' ' << percent << '%';
    m_err.flush();
    m_progressShown = true;
}

void Console::status(const QString &line) {
    if (!m_progress)
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
