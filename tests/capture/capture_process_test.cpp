// pellorin-cli capture as a process of its own against an in-test counting board on a pty:
// every fault keeps what arrived before it in a readable file and is told on standard error,
// and a capture killed with SIGKILL leaves a file that opens with every piece written before
// it.

#include "capture_file_reader.h"

#include "capture/capture_part.h"
#include "capture/capture_run.h"
#include "sim/virtual_board.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace {
std::unique_ptr<sim::VirtualBoard> CountingBoard() {
    auto board = std::make_unique<sim::VirtualBoard>(sim::Chip::VXC5480);
    board->setPacing(sim::Pacing::None);
    sim::SignalModel counting;
    counting.counting = true;
    board->setSignal(counting);
    return board->start() ? std::move(board) : nullptr;
}

QStringList CaptureArguments(const sim::VirtualBoard &board, const QStringList &more) {
    return QStringList{QStringLiteral("--port"), QString::fromStdString(board.portPath()),
                       QStringLiteral("--no-scan"), QStringLiteral("--json"),
                       QStringLiteral("capture")} +
           more;
}

void WaitFor(const std::function<bool()> &done) {
    const QDeadlineTimer deadline(30000);
    while (!done() && !deadline.hasExpired())
        QThread::msleep(2);
}

struct FaultRow {
    const char *name;
    sim::Faults faults;
    const char *format;
    rlim_t fileLimit; // RLIM_INFINITY: none
    int exitStatus;
    const char *stoppedBy; // the start of stopped_by in the summary
    size_t maxSamples;     // at most this many samples kept
    bool fileFault;        // the file itself failed: its stopped_by could not be written
};
} // namespace

TEST(CaptureProcess, EveryFaultKeepsWhatArrivedBeforeIt) {
    sim::Faults hangUp;
    hangUp.hangUpAfterItems = 300;
    sim::Faults silence;
    silence.stopAfterItems = 300;
    sim::Faults badItem;
    badItem.badItemIndex = 300;
    const FaultRow rows[] = {
        {"hang-up", hangUp, "h5", RLIM_INFINITY, 4, "Get item ", 300, false},
        {"silence", silence, "h5", RLIM_INFINITY, 4, "Get item 300 failed !", 300, false},
        {"bad checksum", badItem, "csv", RLIM_INFINITY, 5, "The checksum of item 300 is invalid !",
         300, false},
        {"file-size limit, HDF5", {}, "h5", 1024 * 1024, 6, "", 300000, true},
        {"file-size limit, CSV", {}, "csv", 1024 * 1024, 6, "", 300000, true},
    };
    for (const FaultRow &row : rows) {
        SCOPED_TRACE(row.name);
        auto board = CountingBoard();
        ASSERT_TRUE(board);
        board->setFaults(row.faults);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.") + row.format);
        QProcess cli;
        const rlim_t limit = row.fileLimit;
        cli.setChildProcessModifier([limit] {
            const rlimit size{limit, limit};
            setrlimit(RLIMIT_FSIZE, &size);
        });
        cli.start(QStringLiteral(PELLORIN_CLI_PATH),
                  CaptureArguments(*board, {"--out", path, "--format", row.format, "--block",
                                            "1000", "--samples", "300000"}));
        ASSERT_TRUE(cli.waitForFinished(60000));
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
        const QString errors = QString::fromLocal8Bit(cli.readAllStandardError());
        EXPECT_EQ(cli.exitCode(), row.exitStatus) << errors.toStdString();
        const QJsonObject summary = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
        EXPECT_TRUE(summary.value("stoppedBy").toString().startsWith(row.stoppedBy))
            << summary.value("stoppedBy").toString().toStdString();
        // The fault's message is told on standard error.
        EXPECT_TRUE(errors.contains(summary.value("stoppedBy").toString())) << errors.toStdString();

        const CaptureFileContents file = ReadCapture(path);
        ASSERT_TRUE(file.opened);
        EXPECT_LE(file.codes.size(), row.maxSamples);
        EXPECT_TRUE(Consecutive(file.codes, 0));
        EXPECT_EQ(file.times.size(), file.codes.size());
        if (row.fileFault) {
            // Every piece written before the failing one, whole.
            EXPECT_GT(file.codes.size(), 0u);
        } else {
            EXPECT_EQ(file.text.at("stopped_by"),
                      summary.value("stoppedBy").toString().toStdString());
        }
        EXPECT_EQ(static_cast<qint64>(file.codes.size()), summary.value("samples").toInteger());
    }
}

TEST(CaptureProcess, AKilledCaptureLeavesEveryCompleteBlockReadable) {
    auto board = CountingBoard();
    ASSERT_TRUE(board);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("killed.h5"));
    QProcess cli;
    cli.start(QStringLiteral(PELLORIN_CLI_PATH),
              CaptureArguments(*board, {"--out", path, "--block", "1000"}));
    ASSERT_TRUE(cli.waitForStarted());
    // Some blocks in, the board falls silent in the middle of one: the program has written the
    // blocks before it and waits for the next item, outside any HDF5 call, when it is killed.
    WaitFor([&] { return board->sentItemBytes().size() >= 5500 * 4; });
    sim::Faults stall;
    stall.stopAfterItems = 1;
    board->setFaults(stall);
    // Idle between two blocks would not do: the program may be writing the last one then.
    const auto stalledInABlock = [&] {
        return board->idle() && board->sentItemBytes().size() / 4 % 1000 != 0;
    };
    WaitFor(stalledInABlock);
    ASSERT_TRUE(stalledInABlock());
    const size_t sentItems = board->sentItemBytes().size() / 4;
    kill(static_cast<pid_t>(cli.processId()), SIGKILL);
    ASSERT_TRUE(cli.waitForFinished(30000));

    const CaptureFileContents file = ReadHdf5Capture(path);
    ASSERT_TRUE(file.opened);
    EXPECT_EQ(file.text.at("stopped_by"), "unfinished");
    // Every block before the stalled one, whole, in order, and of the stalled block what was
    // written before the kill (its items in hand go to disk within a fifth of a second): those
    // have no block record yet.
    const size_t whole = sentItems / 1000 * 1000;
    EXPECT_GE(file.codes.size(), whole);
    EXPECT_LE(file.codes.size(), sentItems);
    EXPECT_EQ(file.times.size(), file.codes.size());
    EXPECT_TRUE(Consecutive(file.codes, 0));
    EXPECT_EQ(file.blockFirstSamples.size(), whole / 1000);
}

TEST(CaptureProcess, SigintStopsAfterTheItemInFlightAndExitsCleanly) {
    auto board = CountingBoard();
    ASSERT_TRUE(board);
    board->setPacing(sim::Pacing::Wire);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("interrupted.csv"));
    QProcess cli;
    cli.start(QStringLiteral(PELLORIN_CLI_PATH),
              CaptureArguments(*board, {"--out", path, "--format", "csv", "--block", "2000"}));
    ASSERT_TRUE(cli.waitForStarted());
    WaitFor([&] { return board->sentItemBytes().size() >= 500 * 4; });
    kill(static_cast<pid_t>(cli.processId()), SIGINT);
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const QJsonObject summary = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
    EXPECT_EQ(summary.value("stoppedBy").toString(), "user");
    const CaptureFileContents file = ReadCapture(path);
    EXPECT_EQ(file.text.at("stopped_by"), "user");
    EXPECT_GT(file.codes.size(), 0u);
    EXPECT_LT(file.codes.size(), 2000u);
    EXPECT_TRUE(Consecutive(file.codes, 0));
    // The board finished its block before the program left.
    EXPECT_EQ(board->sentItemBytes().size(), 2000u * 4);
}

// A night's user looks at the run so far: the file the other process still writes opens, with
// the samples synced so far, and says it is not finished.
TEST(CaptureProcess, ACaptureStillBeingWrittenOpensForReading) {
    auto board = CountingBoard();
    ASSERT_TRUE(board);
    board->setPacing(sim::Pacing::Wire);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("running.h5"));
    QProcess cli;
    cli.start(QStringLiteral(PELLORIN_CLI_PATH), CaptureArguments(*board, {"--out", path}));
    ASSERT_TRUE(cli.waitForStarted());
    WaitFor([&] { return board->sentItemBytes().size() >= 3000 * 4; });
    QString error;
    const auto part = capture::OpenCapturePart(path, error);
    ASSERT_TRUE(part) << error.toStdString();
    EXPECT_GT(part->count(), 0u);
    EXPECT_EQ(capture::StoppedByText(part->facts().stoppedBy).left(11), "unfinished:");
    kill(static_cast<pid_t>(cli.processId()), SIGINT);
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
}

TEST(CaptureProcess, AnExistingFileIsRefusedBeforeTheBoardIsTouched) {
    auto board = CountingBoard();
    ASSERT_TRUE(board);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.h5"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("keep me");
    old.close();
    QProcess cli;
    cli.start(QStringLiteral(PELLORIN_CLI_PATH),
              CaptureArguments(*board, {"--out", path, "--samples", "10"}));
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 6);
    EXPECT_TRUE(board->receivedFrames().empty());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "keep me");

    QProcess forced;
    forced.start(QStringLiteral(PELLORIN_CLI_PATH),
                 CaptureArguments(*board, {"--out", path, "--samples", "10", "--force"}));
    ASSERT_TRUE(forced.waitForFinished(30000));
    EXPECT_EQ(forced.exitCode(), 0) << forced.readAllStandardError().toStdString();
    EXPECT_EQ(ReadHdf5Capture(path).codes.size(), 10u);
}
