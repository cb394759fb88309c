#include "stream_guard.h"

#include "platform/question.h"

#include <QTimer>
#include <QWidget>

StreamGuard::StreamGuard(QWidget *owner) : QObject(owner), m_owner(owner) {}

void StreamGuard::add(Stream stream) {
    m_streams.push_back(std::move(stream));
}

const StreamGuard::Stream *StreamGuard::runningStream() const {
    for (const Stream &stream : m_streams) {
        if (stream.running())
            return &stream;
    }
    return nullptr;
}

bool StreamGuard::clearFor(const QString &reason, std::function<void()> after) {
    const Stream *stream = runningStream();
    if (!stream)
        return true;
    const bool stopping = stream->stopping && stream->stopping();
    if (!stopping) {
        // The stream reads on while the question is open: it may end meanwhile, and then only
        // a Yes lets the action run.
        if (!platform::AskYesNo(m_owner, stream->question(), stream->caption))
            return false;
        stream = runningStream();
        if (stream && !(stream->stopping && stream->stopping()))
            stream->stop(reason);
    }
    m_after = std::move(after);
    if (!runningStream())
        streamEnded();
    return false;
}

void StreamGuard::streamEnded() {
    if (m_after)
        QTimer::singleShot(0, this, &StreamGuard::runWaiting);
}

void StreamGuard::runWaiting() {
    // Another stream (or the same, started again) may hold the port by now: wait for it too.
    if (!m_after || runningStream())
        return;
    const std::function<void()> after = std::move(m_after);
    m_after = nullptr;
    after();
}
