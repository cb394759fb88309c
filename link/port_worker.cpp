#include "port_worker.h"

#include "board_link.h"

#include <QEventLoop>
#include <QThread>

PortWorker::PortWorker(QObject *parent) : QObject(parent) {}

PortWorker::~PortWorker() {
    if (m_thread) {
        m_thread->disconnect(this);
        m_thread->wait();
        delete m_thread;
    }
}

bool PortWorker::start(BoardLink &link, std::function<void()> job) {
    if (m_thread)
        return false;
    QThread *owner = QThread::currentThread();
    m_thread = QThread::create([job = std::move(job), owner, &link] {
        job();
        // Only the thread an object lives in may push it on: the link goes home from here.
        link.moveToThread(owner);
    });
    link.moveToThread(m_thread);
    const quint64 run = ++m_runs;
    connect(
        m_thread, &QThread::finished, this, [this, run] { onThreadFinished(run); },
        Qt::QueuedConnection);
    m_thread->start();
    return true;
}

void PortWorker::onThreadFinished(quint64 run) {
    // waitWithEvents may have ended this run already, and a new one may have started since.
    if (run != m_runs || !m_thread)
        return;
    QThread *thread = m_thread;
    m_thread = nullptr;
    thread->wait();
    delete thread;
    emit finished();
}

void PortWorker::waitWithEvents(const std::function<void()> &stop) {
    if (!m_thread)
        return;
    QEventLoop loop;
    connect(this, &PortWorker::finished, &loop, &QEventLoop::quit);
    loop.exec();
    if (m_thread) {
        // The loop was ended from outside: the application quits, and no event loop of this
        // thread runs again. The job still owns the port and the caller's buffers.
        if (stop)
            stop();
        m_thread->wait();
        onThreadFinished(m_runs);
    }
}
