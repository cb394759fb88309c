#include "off_thread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <memory>

namespace platform {

void RunOffThread(const std::function<void()> &job) {
    const QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        job();
        return;
    }
    QEventLoop loop;
    const std::unique_ptr<QThread> thread(QThread::create(job));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // Also when the loop ended early because the application quits.
    thread->wait();
}

FileError WriteWholeFileOffThread(const QString &path, const QByteArray &bytes) {
    FileError error;
    RunOffThread([&] { error = WriteWholeFile(path, bytes); });
    return error;
}

FileError WriteWholeFilesOffThread(const std::vector<FileContents> &files) {
    FileError error;
    RunOffThread([&] { error = WriteWholeFiles(files); });
    return error;
}

} // namespace platform
