// Two windows, two boards: a second Pellorin started while another program holds one board
// finds the next free board on "Detect EVM", the busy port passed over without a message.
// Processes of their own: the built Pellorin and pellorin-cli, against two virtual boards this
// test serves.

#include "tests/support/board_on_pty.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {
// Waits until done() holds or the process ends, within the bound a passing test never meets.
template <typename Done> bool WaitWhileRunning(QProcess &process, Done done) {
    const QDeadlineTimer limit(kEventWaitLimitMs);
    while (!done()) {
        if (process.state() == QProcess::NotRunning || limit.hasExpired())
            return false;
        process.waitForFinished(20);
    }
    return true;
}
} // namespace

TEST(SecondInstance, DetectEvmPassesOverTheBoardAnotherProgramHolds) {
    BoardOnPty held(sim::Chip::VXC5480, sim::Pacing::Wire);
    BoardOnPty free(sim::Chip::VXC5480, sim::Pacing::Wire);
    ASSERT_TRUE(held.start());
    ASSERT_TRUE(free.start());
    QTemporaryDir dir;
    const QString heldFile = dir.filePath(QStringLiteral("held.h5"));

    // The first program: a capture, which holds its board until SIGTERM.
    QProcess first;
    first.start(QStringLiteral(PELLORIN_CLI_PATH),
                {QStringLiteral("--port"), held.port(), QStringLiteral("capture"),
                 QStringLiteral("--out"), heldFile});
    ASSERT_TRUE(WaitWhileRunning(first, [&] { return QFileInfo(heldFile).size() > 0; }))
        << first.readAllStandardError().toStdString();

    // The held port comes first: the second program must pass it over for the next.
    QProcess second;
    second.start(QStringLiteral(PELLORIN_APP_PATH),
                 {QStringLiteral("--port"), held.port(), QStringLiteral("--port"), free.port(),
                  QStringLiteral("--detect-and-quit"), QStringLiteral("-platform"),
                  QStringLiteral("offscreen")});
    ASSERT_TRUE(second.waitForFinished(kEventWaitLimitMs * 2));
    const QString err = QString::fromUtf8(second.readAllStandardError());
    EXPECT_EQ(second.exitCode(), 0) << err.toStdString();
    EXPECT_EQ(QString::fromUtf8(second.readAllStandardOutput()),
              QStringLiteral("Detect EVM: %1, panel opened\n").arg(free.port()));
    // No message about the busy board: nobody at the second window must answer one.
    EXPECT_FALSE(err.contains(QStringLiteral("Pellorin:"))) << err.toStdString();

    // The first program never lost its board: its capture ends as the user's stop.
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(kEventWaitLimitMs));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
}
