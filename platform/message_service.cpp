#include "message_service.h"

#include <QStringList>

#include <cstdio>
#include <utility>

namespace platform {
namespace {
MessageHandler &presenter() {
    static MessageHandler handler;
    return handler;
}
MessageHandler &observer() {
    static MessageHandler handler;
    return handler;
}
// Where this thread's messages are held, if they are.
thread_local std::vector<Message> *t_held = nullptr;
} // namespace

void ShowMessage(QObject *owner, const QString &text, const QString &caption, MessageIcon icon,
                 const QString &detail) {
    const Message message{text, caption, icon, owner, detail};
    if (t_held) {
        t_held->push_back(message);
    } else if (observer()) {
        observer()(message);
    } else if (presenter()) {
        presenter()(message);
    } else {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        if (!detail.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(detail));
    }
}

void ShowFileError(QObject *owner, const FileError &error) {
    ShowMessage(owner, error.text().left(1024), QStringLiteral("Error"));
}

void ShowMessages(const std::vector<Message> &messages) {
    for (const Message &message : messages)
        ShowMessage(message.owner, message.text, message.caption, message.icon);
}

HeldMessages::HeldMessages() : m_outer(t_held) {
    t_held = &m_messages;
}

HeldMessages::~HeldMessages() {
    t_held = m_outer;
}

std::vector<Message> HeldMessages::take() {
    return std::exchange(m_messages, {});
}

void SetMessagePresenter(MessageHandler handler) {
    presenter() = std::move(handler);
}

void SetMessageObserver(MessageHandler handler) {
    observer() = std::move(handler);
}

MessageRecorder::MessageRecorder(MessageHandler onMessage) : m_onMessage(std::move(onMessage)) {
    SetMessageObserver([this](const Message &message) {
        m_messages.push_back(message);
        if (m_onMessage)
            m_onMessage(message);
    });
}

MessageRecorder::~MessageRecorder() {
    SetMessageObserver({});
}

QStringList MessageRecorder::texts() const {
    QStringList result;
    for (const Message &message : m_messages)
        result << message.text;
    return result;
}

} // namespace platform
