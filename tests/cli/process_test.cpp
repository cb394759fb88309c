// The built pellorin-cli as a script runs it: a process of its own with its exit status,
// against the standalone virtual board and against in-process boards with faults.

#include "acquisition/data_files.h"
#include "acquisition/samples.h"
#include "cli/exit_codes.h"
#include "cli/help_text.h"
#include "sim/virtual_board.h"
#include "tests/support/board_on_pty.h"

#include "chips/vxc5480/register_map.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

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

// Reads from the process's current channel until `lines` lines or the text have come.
QByteArray readUntil(QProcess &process, int lines, const QByteArray &text = {}) {
    QByteArray got;
    const QDeadlineTimer limit(kEventWaitLimitMs);
    while (got.count('\n') < lines && (text.isEmpty() || !got.contains(text)) &&
           !limit.hasExpired()) {
        process.waitForReadyRead(100);
        got += process.readAll();
    }
    return got;
}

bool waitForLink(const QString &path) {
    const QDeadlineTimer limit(kEventWaitLimitMs);
    while (!QFileInfo(path).isSymLink() && !limit.hasExpired())
        QThread::msleep(5);
    return QFileInfo(path).isSymLink();
}

TEST(CliProcess, StandaloneBoardsEachBehindItsLinkUnplugOnCommand) {
    QProcess simProgram;
    simProgram.start(QStringLiteral(PELLORIN_EVM_SIM_PATH),
                     {QStringLiteral("--pace=none"), QStringLiteral("--boards=VXC5480,VXC5420")});
    const QStringList links =
        QString::fromUtf8(readUntil(simProgram, 2)).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(links.size(), 2);
    EXPECT_TRUE(links[0].endsWith(QStringLiteral("/by-id/usb-Pellorin_Virtual_EVM_PLR0001-if00")));
    EXPECT_TRUE(links[1].endsWith(QStringLiteral("/by-id/usb-Pellorin_Virtual_EVM_PLR0002-if00")));
    const ProcessRun second = runCli({QStringLiteral("--port"), links[1], QStringLiteral("--chip"),
                                      QStringLiteral("VXC5420"), QStringLiteral("detect")});
    EXPECT_EQ(second.out, (links[1] + QStringLiteral("\tVXC5420\n")).toUtf8());
    ASSERT_EQ(runCli({QStringLiteral("--port"), links[0], QStringLiteral("set"),
                      QStringLiteral("ADCON=0x03")})
                  .status,
              kOk);

    simProgram.setReadChannel(QProcess::StandardError);
    simProgram.write("unplug 3 1\nunplug 1 0.2 reset\n");
    const QByteArray answers = readUntil(simProgram, 2);
    EXPECT_TRUE(answers.contains("no board '3' (1 to 2, or all)")) << answers.toStdString();
    EXPECT_TRUE(answers.contains("board 1 unplugged for 0.2 s, registers reset"))
        << answers.toStdString();
    ASSERT_TRUE(waitForLink(links[0]));
    const ProcessRun reset = runCli(
        {QStringLiteral("--port"), links[0], QStringLiteral("get"), QStringLiteral("ADCON")});
    EXPECT_EQ(reset.out, "0x20\n") << reset.err.toStdString();

    // Ended while its boards are out: the links' folders go all the same.
    simProgram.write("unplug all 600\n");
    readUntil(simProgram, 2, "board 2 unplugged");
    EXPECT_FALSE(QFileInfo::exists(links[0]));
    simProgram.terminate();
    ASSERT_TRUE(simProgram.waitForFinished(kEventWaitLimitMs));
    EXPECT_EQ(simProgram.exitCode(), 0);
    for (const QString &link : links)
        EXPECT_FALSE(QFileInfo::exists(QFileInfo(QFileInfo(link).absolutePath()).absolutePath()));
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

// Each row runs the program against a board of its own with a fault, a file-size limit, a
// reader of standard output that has gone, or a signal once the scan has switched MUX. "@"
// stands for the row's folder.
TEST(CliProcess, FaultsGiveTheirExitStatuses) {
    sim::Faults silent;
    silent.silent = true;
    sim::Faults badItem;
    badItem.badItemIndex = 3;
    sim::Faults hangUp;
    hangUp.hangUpAfterItems = 4;
    const struct {
        const char *name;
        sim::Faults faults;
        QStringList arguments;
        int status;
        QByteArray errStart;
        QByteArray outHas = {}; // empty: nothing on standard output
        rlim_t fileLimit = RLIM_INFINITY;
        bool readerGone = false; // standard output is a pipe nobody reads
        int signal = 0;          // sent once the scan has switched MUX; it then waits on the wire
        const char *written = nullptr; // a file the run must have written
    } cases[] = {
        {"silent", silent, {"detect"}, kNoBoard, "pellorin-cli: Can't find VXC5480 !\n"},
        {"silent, JSON",
         silent,
         {"--json", "detect"},
         kNoBoard,
         "pellorin-cli: Can't find VXC5480 !\n",
         R"({"error":"Can't find VXC5480 !\n)"},
        {"bad item",
         badItem,
         {"acquire", "--count=10"},
         kItemChecksum,
         "pellorin-cli: The checksum of item 3 is invalid !\n"},
        {"hang-up",
         hangUp,
         {"acquire", "--count=10"},
         kExchange,
         "pellorin-cli: Get item 4 failed !\npellorin-cli: acquire failed: result code 410"},
        {"capture hang-up",
         hangUp,
         {"capture", "--out", "@c.csv", "--format", "csv", "--block", "5", "--samples", "20"},
         kExchange,
         "pellorin-cli: Get item 4 failed !\npellorin-cli: capture failed: result code 410",
         "4 samples in "},
        {"CSV capture past the file-size limit",
         {},
         {"capture", "--out", "@c.csv", "--format", "csv", "--block", "1000", "--samples", "5000"},
         kFile,
         "pellorin-cli: @c.csv: File too large\n",
         "0 blocks, 1 file(s), last @c.csv;",
         4096},
        {"scan with nobody reading",
         {},
         {"scan", "--pairs", "--count", "20", "--out", "@s.csv"},
         kFile,
         "pellorin-cli: standard output: Broken pipe\n",
         {},
         RLIM_INFINITY,
         true,
         0,
         "@s.csv"},
        {"scan, SIGINT",
         {},
         {"--json", "scan", "--single-ended", "--count", "3000", "--out", "@s.csv"},
         kOk,
         "",
         R"("complete":false)",
         RLIM_INFINITY,
         false,
         SIGINT,
         "@s.csv"},
        {"scan, SIGTERM",
         {},
         {"scan", "--single-ended", "--count", "3000"},
         kOk,
         "",
         "\nScan interrupted by SIGTERM; 1 of 8 inputs measured. MUX put back to 0x01.\n",
         RLIM_INFINITY,
         false,
         SIGTERM},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const auto here = [&dir](QByteArray text) {
            return text.replace('@', QFile::encodeName(dir.path() + u'/'));
        };
        // A signal must meet the scan on the wire: the board keeps the real board's pace.
        BoardOnPty pty(sim::Chip::VXC5480, c.signal ? sim::Pacing::Wire : sim::Pacing::None);
        ASSERT_TRUE(pty.start());
        pty.board().setFaults(c.faults);
        int reader[2] = {-1, -1};
        if (c.readerGone) {
            ASSERT_EQ(::pipe(reader), 0);
            ::close(reader[0]);
        }
        QStringList arguments{QStringLiteral("--port"), pty.port(), QStringLiteral("--no-scan")};
        for (const QString &argument : c.arguments)
            arguments << QString::fromUtf8(here(argument.toUtf8()));
        QProcess process;
        process.setChildProcessModifier([limit = c.fileLimit, writer = reader[1]] {
            const rlimit size{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &size);
            if (writer >= 0)
                ::dup2(writer, STDOUT_FILENO);
        });
        process.start(QStringLiteral(PELLORIN_CLI_PATH), arguments);
        ASSERT_TRUE(process.waitForStarted());
        if (reader[1] >= 0)
            ::close(reader[1]);
        if (c.signal) {
            const auto switched = [&pty] {
                for (const auto &frame : pty.board().receivedFrames()) {
                    if (frame[2] == 0x01 && frame[3] == vxc5480::kMux)
                        return true;
                }
                return false;
            };
            QDeadlineTimer deadline(kEventWaitLimitMs);
            while (!switched() && !deadline.hasExpired())
                process.waitForFinished(5);
            ASSERT_TRUE(switched());
            ::kill(static_cast<pid_t>(process.processId()), c.signal);
        }
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), c.status);
        const QByteArray err = process.readAllStandardError();
        const QByteArray out = process.readAllStandardOutput();
        EXPECT_TRUE(err.startsWith(here(c.errStart))) << err.toStdString();
        if (c.outHas.isEmpty()) {
            EXPECT_EQ(out, "");
        } else {
            EXPECT_TRUE(out.contains(here(c.outHas))) << out.toStdString();
        }
        if (c.written) {
            EXPECT_TRUE(QFile::exists(QString::fromUtf8(here(c.written))));
        }
        if (c.signal) {
            EXPECT_EQ(pty.board().registerValue(vxc5480::kMux), 0x01);
        }
    }
}
