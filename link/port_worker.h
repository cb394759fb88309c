#pragma once
// A job that owns one board's link on a thread of its own. The link is handed to the job's
// thread when it starts and handed back before finished() is emitted, so the stream is read
// (and its files written) whatever the window's thread is doing: a modal dialog, a nested
// event loop or a slow disk never stalls it, and a real bridge never drops conversions for a
// host that stopped reading.
//
// While a job runs, nothing else may touch that link: its session's busy flags keep the panels
// and the other streams away, and whoever would close it (a detection, closing the window)
// first asks the job to stop and waits for finished(). Other boards' links are not touched.

#include <QObject>

#include <functional>

class BoardLink;
class QThread;

class PortWorker : public QObject {
    Q_OBJECT
  public:
    explicit PortWorker(QObject *parent = nullptr);
    // Waits for a job still running; its finished() is not emitted then.
    ~PortWorker() override;

    // Starts job on a new thread with link handed to it; false while a job runs. The link
    // must outlive the job.
    bool start(BoardLink &link, std::function<void()> job);
    bool running() const { return m_thread != nullptr; }
    // Runs the calling thread's events until the job has ended and finished() was emitted
    // (at once when none runs). For a caller that must see the end before it goes on. Should
    // the application end the event loops meanwhile (it quits), stop is called to hurry the job
    // and the rest is waited for without events: the caller never goes on while the job runs.
    void waitWithEvents(const std::function<void()> &stop = {});

  signals:
    // On the thread that started the job, once the port is back there.
    void finished();

  private:
    void onThreadFinished(quint64 run);

    QThread *m_thread = nullptr;
    quint64 m_runs = 0; // jobs started: a late notice of an earlier one is told apart
};
