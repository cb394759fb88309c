// Work handed off the window's thread: a job that runs elsewhere while the window's events go
// on, and messages held on a job's thread until the window's thread shows them.

#include "platform/message_service.h"
#include "platform/off_thread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMetaObject>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {
// Only keeps a failing test from hanging (the link's tests use kEventWaitLimitMs alike).
constexpr int kWaitLimitMs = 30000;
} // namespace

TEST(OffThread, TheJobRunsElsewhereWhileThisThreadsEventsGoOn) {
    // The job ends only once this thread has run an event posted before the job began.
    std::atomic<bool> eventRan{false};
    QMetaObject::invokeMethod(
        qApp, [&eventRan] { eventRan = true; }, Qt::QueuedConnection);
    QThread *jobThread = nullptr;
    bool sawEvent = false;
    platform::RunOffThread([&] {
        jobThread = QThread::currentThread();
        const QDeadlineTimer limit(kWaitLimitMs);
        while (!eventRan && !limit.hasExpired())
            QThread::yieldCurrentThread();
        sawEvent = eventRan;
    });
    EXPECT_NE(jobThread, QThread::currentThread());
    EXPECT_TRUE(sawEvent);
}

TEST(OffThread, MessagesOfAJobWaitForTheThreadThatShowsThem) {
    platform::MessageRecorder shown;
    std::vector<platform::Message> held;
    std::thread job([&held] {
        platform::HeldMessages hold;
        platform::ShowMessage(nullptr, QStringLiteral("first"), QStringLiteral("Error"));
        {
            // A hold inside a hold keeps its own, and the outer one holds again after it.
            platform::HeldMessages inner;
            platform::ShowMessage(nullptr, QStringLiteral("inner"), QStringLiteral("Error"));
        }
        platform::ShowMessage(nullptr, QStringLiteral("second"), QStringLiteral("Error !"));
        held = hold.take();
    });
    job.join();
    EXPECT_TRUE(shown.messages().empty());
    platform::ShowMessages(held);
    EXPECT_EQ(shown.texts(), (QStringList{"first", "second"}));
    EXPECT_EQ(shown.messages()[1].caption, "Error !");
}
