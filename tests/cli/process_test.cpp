// The built pellorin-cli as a script runs it: a process of its own with its exit status,
// against the standalone virtual board and against in-process boards with faults.

#include "acquisition/data_files.h"
#include "acquisition/samples.h"
#include "cli/exit_codes.h"
#include "cli/help_text.h"
#include "sim/virtual_board.h"
#include "tests/support/board_on_pty.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace cli::exit_code;

namespace {
struct ProcessRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

ProcessRun runCli(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral(PELLORIN_CLI_PATH), arguments);
    ProcessRun run;
    // Generous: the program's own limit for a silent board is 3000 ms.
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// pellorin-evm-sim, unpaced, until the test ends.
class StandaloneBoard {
  public:
    StandaloneBoard() {
        m_process.start(QStringLiteral(PELLORIN_EVM_SIM_PATH), {QStringLiteral("--pace=none")});
        if (m_process.waitForStarted() && m_process.waitForReadyRead(30000))
            m_port = QString::fromUtf8(m_process.readLine()).trimmed();
    }
    ~StandaloneBoard() {
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished();
    }
    const QString &port() const { return m_port; }

  private:
    QProcess m_process;
    QString m_port;
};
} // namespace

TEST(CliProcess, HelpUsageAndManualPage) {
    const ProcessRun help = runCli({QStringLiteral("--help")});
    EXPECT_EQ(help.status, kOk);
    EXPECT_EQ(QString::fromUtf8(help.out), cli::ProgramHelpText());
    const ProcessRun none = runCli({});
    EXPECT_EQ(none.status, kUsage);
    EXPECT_EQ(none.err, "pellorin-cli: no command given (see pellorin-cli --help)\n");
    const ProcessRun unknown = runCli({QStringLiteral("frobnicate")});
    EXPECT_EQ(unknown.status, kUsage);
    const ProcessRun commandHelp = runCli({QStringLiteral("set"), QStringLiteral("--help")});
    EXPECT_EQ(commandHelp.status, kOk);
    EXPECT_TRUE(commandHelp.out.startsWith("Usage: pellorin-cli [OPTIONS] set NAME|ADDR=VALUE"));
    // The build wrote the manual from the same text.
    EXPECT_EQ(QString::fromUtf8(contents(QStringLiteral(PELLORIN_CLI_MAN_PATH))), cli::ManPage());
}

TEST(CliProcess, AgainstTheStandaloneBoard) {
    StandaloneBoard board;
    ASSERT_FALSE(board.port().isEmpty());
    const ProcessRun detect =
        runCli({QStringLiteral("--port"), board.port(), QStringLiteral("detect")});
    EXPECT_EQ(detect.status, kOk) << detect.err.toStdString();
    EXPECT_EQ(detect.out, (board.port() + QStringLiteral("\tVXC5480\n")).toUtf8());
    EXPECT_EQ(detect.err, "");

    const ProcessRun set = runCli({QStringLiteral("--port"), board.port(), QStringLiteral("set"),
                                   QStringLiteral("ADCON=0x03")});
    EXPECT_EQ(set.status, kOk) << set.err.toStdString();
    const ProcessRun get = runCli(
        {QStringLiteral("--port"), board.port(), QStringLiteral("get"), QStringLiteral("ADCON")});
    EXPECT_EQ(get.out, "0x03\n");

    const ProcessRun regs =
        runCli({QStringLiteral("--port"), board.port(), QStringLiteral("regs")});
    EXPECT_EQ(regs.status, kOk);
    EXPECT_TRUE(regs.out.contains("0x02  ADCON   0x03\n")) << regs.out.toStdString();
    const ProcessRun wake = runCli({QStringLiteral("--port"), board.port(),
                                    QStringLiteral("command"), QStringLiteral("wake-up")});
    EXPECT_EQ(wake.status, kOk) << wake.err.toStdString();

    // A profile saved from the board and loaded back after a change restores the register.
    QTemporaryDir dir;
    const QString profile = dir.filePath(QStringLiteral("p.ini"));
    EXPECT_EQ(runCli({QStringLiteral("--port"), board.port(), QStringLiteral("profile"),
                      QStringLiteral("save"), profile})
                  .status,
              kOk);
    runCli({QStringLiteral("--port"), board.port(), QStringLiteral("set"),
            QStringLiteral("ADCON=0x05")});
    EXPECT_EQ(runCli({QStringLiteral("--port"), board.port(), QStringLiteral("profile"),
                      QStringLiteral("load"), profile})
                  .status,
              kOk);
    EXPECT_EQ(runCli({QStringLiteral("--port"), board.port(), QStringLiteral("get"),
                      QStringLiteral("ADCON")})
                  .out,
              "0x03\n");

    const QString prefix = dir.filePath(QStringLiteral("run"));
    const ProcessRun acquire = runCli({QStringLiteral("--port"), board.port(),
                                       QStringLiteral("acquire"), QStringLiteral("--count"),
                                       QStringLiteral("2000"), QStringLiteral("--out"), prefix});
    ASSERT_EQ(acquire.status, kOk) << acquire.err.toStdString();
    // Not a terminal: no progress line.
    EXPECT_EQ(acquire.err, "");
    const QByteArray raw = contents(prefix + QStringLiteral(".bin"));
    ASSERT_EQ(raw.size(), 8000);
    const auto *items = reinterpret_cast<const uint8_t *>(raw.constData());
    EXPECT_EQ(FirstBadItem(items, 2000), -1);
    std::vector<int32_t> samples;
    ConvertSamples(items, 2000, samples);
    EXPECT_EQ(contents(prefix + QStringLiteral(".txt")), FormatTextFile(samples));
}

TEST(CliProcess, FaultsGiveTheirExitStatuses) {
    const struct {
        const char *name;
        sim::Faults faults;
        QStringList arguments;
        int status;
        QByteArray errStart;
    } cases[] = {
        {"silent",
         [] {
             sim::Faults f;
             f.silent = true;
             return f;
         }(),
         {"detect"},
         kNoBoard,
         "pellorin-cli: Can't find VXC5480 !\n"},
        {"bad item",
         [] {
             sim::Faults f;
             f.badItemIndex = 3;
             return f;
         }(),
         {"acquire", "--count=10"},
         kItemChecksum,
         "pellorin-cli: The checksum of item 3 is invalid !\n"},
        {"hang-up",
         [] {
             sim::Faults f;
             f.hangUpAfterItems = 4;
             return f;
         }(),
         {"acquire", "--count=10"},
         kExchange,
         "pellorin-cli: Get item 4 failed !\npellorin-cli: acquire failed: result code 410"},
    };
    for (const auto &c : cases) {
        BoardOnPty pty(sim::Chip::VXC5480, sim::Pacing::None);
        ASSERT_TRUE(pty.start());
        pty.board().setFaults(c.faults);
        const ProcessRun r =
            runCli(QStringList{QStringLiteral("--port"), pty.port(), QStringLiteral("--no-scan")} +
                   c.arguments);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_TRUE(r.err.startsWith(c.errStart)) << c.name << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, "") << c.name;
    }
}
