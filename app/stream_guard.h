#pragma once
// What may not cut a running stream (the continuous capture, the input scan) short unasked:
// "Detect EVM", closing the main window, "Update Firmware" and loading a profile. Each asks the
// user first, the stream reading on meanwhile. Yes: the stream is asked to stop, and the action
// runs once, after the stream has ended (its port is back, its file closed). No: nothing.

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

class StreamGuard : public QObject {
    Q_OBJECT
  public:
    struct Stream {
        std::function<bool()> running;  // it owns the port now
        std::function<bool()> stopping; // it was asked to stop already (may be empty)
        std::function<QString()> question;
        QString caption;
        std::function<void(const QString &reason)> stop; // finished() follows
    };

    explicit StreamGuard(QWidget *owner);

    // A stream to guard; its finished signal calls streamEnded().
    void add(Stream stream);
    // True when no stream runs: the action may go ahead now. Otherwise false: the user is asked
    // (unless a stop is under way already, which the action then waits for too); on Yes the
    // stream stops for reason ("detect", "user") and `after` runs once it has ended. A later
    // action waiting for the same end replaces an earlier one.
    bool clearFor(const QString &reason, std::function<void()> after);
    // A stream ended: what waited runs once the handler that said so has unwound.
    void streamEnded();
    bool waiting() const { return static_cast<bool>(m_after); }

  private:
    const Stream *runningStream() const;
    void runWaiting();

    QWidget *m_owner;
    std::vector<Stream> m_streams;
    std::function<void()> m_after;
};
