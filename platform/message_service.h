#pragma once
// The one way any layer talks to the user: a modal box with one OK button.
// Layers below the widgets (link, firmware) call ShowMessage without knowing how it is shown;
// the application installs a presenter that shows a QMessageBox, tests install an observer
// that records each message and answers it at once.

#include "file_error.h"

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace platform {

enum class MessageIcon { None, Information, Warning, Error };

struct Message {
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::None;
    QObject *owner = nullptr; // the owning window, or null for a box without owner
    // What lies behind the text, shown in the same box under it ("PATH: No such file or
    // directory" under "Firmware update failed !"); empty for most messages.
    QString detail{};
};

using MessageHandler = std::function<void(const Message &)>;

// Shows the message and returns when the user has answered it. One failure is one box: its
// cause goes in detail, not in a box of its own before it.
void ShowMessage(QObject *owner, const QString &text, const QString &caption,
                 MessageIcon icon = MessageIcon::None, const QString &detail = QString());

// The platform's description of a file error: "PATH: reason" (at most 1024 characters) in a
// box titled "Error".
void ShowFileError(QObject *owner, const FileError &error);

// Installed once by the widgets layer. Without a presenter messages go to stderr.
void SetMessagePresenter(MessageHandler presenter);

// While an observer is installed it receives every message instead of the presenter.
void SetMessageObserver(MessageHandler observer);

// Holds back every message shown on the thread that makes it, for as long as it lives. A job on
// a thread of its own keeps its messages this way, and the thread that shows the windows shows
// them (ShowMessages) once the job has ended, in the order they came.
class HeldMessages {
  public:
    HeldMessages();
    ~HeldMessages();
    HeldMessages(const HeldMessages &) = delete;
    HeldMessages &operator=(const HeldMessages &) = delete;

    // The messages held so far; the hold goes on.
    std::vector<Message> take();

  private:
    std::vector<Message> m_messages;
    std::vector<Message> *m_outer; // the hold this one interrupts, if any
};

// Shows each message as ShowMessage does, one after the other.
void ShowMessages(const std::vector<Message> &messages);

// Records every message shown during its lifetime (for tests), optionally running a
// callback as the "user" answers each one.
class MessageRecorder {
  public:
    explicit MessageRecorder(MessageHandler onMessage = {});
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    const std::vector<Message> &messages() const { return m_messages; }
    QStringList texts() const;
    void clear() { m_messages.clear(); }

  private:
    std::vector<Message> m_messages;
    MessageHandler m_onMessage;
};

} // namespace platform
