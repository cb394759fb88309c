// pellorin-cli --all-boards and detect --all: several virtual boards on their own ptys, through
// the program's own transport, as one run of the command line sees them.

#include "cli_fixture.h"

#include "capture/capture_part.h"
#include "chips/vxc5480/register_fields.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>

#include <csignal>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Boards of the given chips, each on its own pty.
class ManyBoards : public ::testing::Test {
  protected:
    void serve(std::initializer_list<sim::Chip> chips, sim::Pacing pacing = sim::Pacing::None) {
        for (const sim::Chip chip : chips) {
            m_boards.push_back(std::make_unique<BoardOnPty>(chip, pacing));
            ASSERT_TRUE(m_boards.back()->start());
        }
        ASSERT_TRUE(m_dir.isValid());
    }

    // pellorin-cli --port <each board> --no-scan ARGUMENTS, "@" standing for the folder.
    CliRun run(QStringList arguments) {
        QStringList all;
        for (const auto &board : m_boards)
            all << QStringLiteral("--port") << board->port();
        all << QStringLiteral("--no-scan");
        for (QString &argument : arguments)
            all << argument.replace(u'@', m_dir.path() + u'/');
        std::ostringstream out, err;
        CliRun result;
        result.status = cli::RunCli(all, out, err);
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    // The objects of a --json run, one a line.
    static std::vector<QJsonObject> objects(const std::string &out) {
        std::vector<QJsonObject> result;
        for (const QString &line : QString::fromStdString(out).split(u'\n', Qt::SkipEmptyParts))
            result.push_back(QJsonDocument::fromJson(line.toUtf8()).object());
        return result;
    }

    sim::VirtualBoard &board(size_t i) { return m_boards.at(i)->board(); }
    QString port(size_t i) const { return m_boards.at(i)->port(); }

    std::vector<std::unique_ptr<BoardOnPty>> m_boards;
    QTemporaryDir m_dir;
};

TEST_F(ManyBoards, DetectAllListsEveryBoardWhateverItsChip) {
    serve({sim::Chip::VXC5480, sim::Chip::VXC5420, sim::Chip::VXC5480});
    const CliRun all = run({"detect", "--all", "--json"});
    ASSERT_EQ(all.status, 0) << all.err;
    const std::vector<QJsonObject> found = objects(all.out);
    ASSERT_EQ(found.size(), 3u);
    const char *chips[] = {"VXC5480", "VXC5420", "VXC5480"};
    for (size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i]["port"].toString(), port(i));
        EXPECT_EQ(found[i]["chip"].toString(), QLatin1String(chips[i]));
        EXPECT_FALSE(found[i]["identity"].toString().isEmpty());
        // The registers as the chip holds them: MUX second.
        EXPECT_TRUE(found[i]["registers"].toString().startsWith(
            QStringLiteral("%1 %2")
                .arg(board(i).registerValue(0), 2, 16, QLatin1Char('0'))
                .arg(board(i).registerValue(1), 2, 16, QLatin1Char('0'))
                .toUpper()));
    }
    const CliRun narrowed = run({"--chip", "VXC5420", "detect", "--all"});
    ASSERT_EQ(narrowed.status, 0) << narrowed.err;
    EXPECT_NE(narrowed.out.find(port(1).toStdString()), std::string::npos);
    EXPECT_EQ(narrowed.out.find(port(0).toStdString() + ' '), std::string::npos);
}

// Each row: the boards' faults (by board), the command, the exit status, and what the run
// leaves: the boards that failed, with their own status.
TEST_F(ManyBoards, OneBoardsFailureEndsOnlyItsOwnRun) {
    sim::Faults hangUp;
    hangUp.hangUpAfterItems = 4;
    sim::Faults badItem;
    badItem.badItemIndex = 2;
    const struct {
        const char *name;
        std::vector<std::pair<size_t, sim::Faults>> faults;
        QStringList arguments;
        int status;
        std::vector<int> boardStatus;
    } cases[] = {
        {"all succeed", {}, {"--all-boards", "--json", "regs"}, 0, {0, 0, 0}},
        {"--mode for the chip with modes only",
         {},
         {"--all-boards", "--json", "acquire", "--count", "10", "--stats", "--mode", "1"},
         0,
         {0, 0, 0}},
        {"one hangs up",
         {{1, hangUp}},
         {"--all-boards", "--json", "acquire", "--count", "10"},
         7,
         {0, 4, 0}},
        {"none succeeds",
         {{0, badItem}, {1, badItem}, {2, badItem}},
         {"--all-boards", "--json", "acquire", "--count", "10"},
         8,
         {5, 5, 5}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // Boards of their own: a board that hung up is gone.
        m_boards.clear();
        serve({sim::Chip::VXC5480, sim::Chip::VXC5420, sim::Chip::VXC5480});
        for (const auto &[index, faults] : c.faults)
            board(index).setFaults(faults);
        const CliRun result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << result.err;
        const std::vector<QJsonObject> rows = objects(result.out);
        ASSERT_EQ(rows.size(), m_boards.size() + 1) << result.out;
        for (size_t i = 0; i < m_boards.size(); ++i) {
            EXPECT_EQ(rows[i]["board"].toString(), port(i));
            EXPECT_EQ(rows[i]["exitStatus"].toInt(), c.boardStatus[i]);
            // A failed board's row says why, in the program's words.
            EXPECT_EQ(rows[i]["messages"].toArray().isEmpty(), c.boardStatus[i] == 0)
                << QJsonDocument(rows[i]).toJson().toStdString();
        }
        EXPECT_EQ(rows.back()["summary"].toObject()["exitStatus"].toInt(), c.status);
    }
}

TEST_F(ManyBoards, CapturesWriteAFileEachOnOneClock) {
    serve({sim::Chip::VXC5480, sim::Chip::VXC5480}, sim::Pacing::Wire);
    const CliRun result =
        run({"--all-boards", "capture", "--out", "@night.h5", "--samples", "300", "--split", "1"});
    ASSERT_EQ(result.status, 0) << result.err;
    QString runStart;
    for (size_t i = 0; i < m_boards.size(); ++i) {
        const QString name = m_dir.filePath(
            QStringLiteral("night_board-%1_0001.h5").arg(QFileInfo(port(i)).fileName()));
        QString error;
        const auto part = capture::OpenCapturePart(name, error);
        ASSERT_TRUE(part) << error.toStdString();
        EXPECT_EQ(part->facts().boardIdentity.isEmpty(), false);
        if (runStart.isEmpty())
            runStart = part->facts().runStartUtc;
        EXPECT_EQ(part->facts().runStartUtc, runStart);
    }
    EXPECT_FALSE(runStart.isEmpty());
}

TEST_F(ManyBoards, SigintStopsEveryScanAndPutsEveryMuxBack) {
    serve({sim::Chip::VXC5480, sim::Chip::VXC5480}, sim::Pacing::Wire);
    const auto switched = [this] {
        for (size_t i = 0; i < m_boards.size(); ++i) {
            bool seen = false;
            for (const auto &frame : board(i).receivedFrames())
                seen = seen || (frame[2] == 0x01 && frame[3] == vxc5480::kMux);
            if (!seen)
                return false;
        }
        return true;
    };
    std::thread interrupter([&switched] {
        const auto until = std::chrono::steady_clock::now() + 30s;
        while (!switched() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(5ms);
        std::raise(SIGINT);
    });
    const CliRun result =
        run({"--all-boards", "scan", "--single-ended", "--count", "3000", "--out", "@s.csv"});
    interrupter.join();
    EXPECT_EQ(result.status, 0) << result.err;
    for (size_t i = 0; i < m_boards.size(); ++i) {
        EXPECT_EQ(board(i).registerValue(vxc5480::kMux), 0x01);
        EXPECT_NE(result.out.find("Scan interrupted by SIGINT"), std::string::npos);
    }
    EXPECT_EQ(QDir(m_dir.path()).entryList({QStringLiteral("s_board-*.csv")}).size(), 2);
}

// Four boards, one of them with an input off its limit: exactly that input and board fail.
TEST_F(ManyBoards, ABatchTestFailsTheInputAndTheBoardThatBreakTheLimits) {
    serve({sim::Chip::VXC5480, sim::Chip::VXC5480, sim::Chip::VXC5480, sim::Chip::VXC5480});
    sim::SignalModel off = sim::DefaultSignal(sim::Chip::VXC5480);
    off.inputVolts[2] = 0.030; // 15 mV elsewhere
    board(2).setSignal(off);
    QFile limits(m_dir.filePath(QStringLiteral("limits.txt")));
    ASSERT_TRUE(limits.open(QIODevice::WriteOnly));
    limits.write("# chip input noise mean\n"
                 "VXC5480 AIN0-AINCOM 1 mV 10 mV\n"
                 "VXC5480 AIN2-AINCOM 1mV 20 mV\n");
    limits.close();
    const CliRun result = run({"--all-boards", "scan", "--inputs", "AIN0-AINCOM,AIN2-AINCOM",
                               "--count", "50", "--limits", "@limits.txt", "--report", "@batch"});
    EXPECT_EQ(result.status, 7) << result.err;
    QFile csv(m_dir.filePath(QStringLiteral("batch.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QStringList failed;
    for (const QString &line : lines) {
        if (line.contains(QLatin1String(",fail")))
            failed << line.section(u',', 0, 0) + u' ' + line.section(u',', 3, 3);
    }
    EXPECT_EQ(failed, (QStringList{port(2) + QStringLiteral(" AIN2-AINCOM"),
                                   port(2) + QStringLiteral(" all")}));
    EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("batch.json"))));
}

TEST_F(ManyBoards, ABrokenLimitsFileIsRefusedBeforeAnyBoard) {
    serve({sim::Chip::VXC5480});
    QFile limits(m_dir.filePath(QStringLiteral("limits.txt")));
    ASSERT_TRUE(limits.open(QIODevice::WriteOnly));
    limits.write("VXC5480 AIN0-AINCOM 1 mV 10 mV\nVXC5480 AIN9-AINCOM 1 mV 10 mV\n");
    limits.close();
    board(0).clearReceivedFrames();
    const CliRun result =
        run({"--all-boards", "scan", "--single-ended", "--count", "5", "--limits", "@limits.txt"});
    EXPECT_EQ(result.status, 6);
    EXPECT_NE(result.err.find("limits.txt line 2: "), std::string::npos) << result.err;
    EXPECT_TRUE(board(0).receivedFrames().empty());
}

} // namespace
