#include "run_job.h"

#include <QMetaObject>
#include <QPointer>

namespace capture {

void RunJob::start(QObject *receiver, Work work) {
    cancel();
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_busy = true;
    const unsigned generation = ++m_generation;
    m_thread = std::thread([this, receiver = QPointer<QObject>(receiver), flag = m_cancel,
                            work = std::move(work), generation] {
        Finish finish = work(*flag);
        if (flag->load() || !receiver)
            return;
        // Queued to the window's thread; dropped there if a newer job has started meanwhile.
        QMetaObject::invokeMethod(
            receiver.data(),
            [this, finish = std::move(finish), generation] {
                if (generation != m_generation)
                    return;
                m_busy = false;
                if (finish)
                    finish();
            },
            Qt::QueuedConnection);
    });
}

void RunJob::cancel() {
    ++m_generation; // a finish already queued is dropped
    if (m_cancel)
        m_cancel->store(true);
    if (m_thread.joinable())
        m_thread.join();
    m_busy = false;
}

} // namespace capture
