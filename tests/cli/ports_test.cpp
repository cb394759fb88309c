// Why a port named with --port gave no board, as the built pellorin-cli tells it: one table of
// the ways a port fails, each run as its own process (some as another user, as a user without
// the udev rule would run it).

#include "cli/exit_codes.h"
#include "sim/virtual_board.h"
#include "tests/support/board_on_pty.h"

#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace cli::exit_code;

namespace {

constexpr uid_t kNobody = 65534;

struct PortRun {
    int status = -1;
    QString err;
    QString out;
};

// pellorin-cli with the arguments; as the user nobody when asked (the tests run as root).
PortRun runCli(const QStringList &arguments, bool asNobody) {
    QProcess process;
    if (asNobody) {
        process.setChildProcessModifier([] {
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(99);
        });
    }
    process.start(QStringLiteral(PELLORIN_CLI_PATH), arguments);
    PortRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.err = QString::fromUtf8(process.readAllStandardError());
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    return run;
}

// What a row sets up around the board's port, and takes down again.
struct PortScene {
    PortScene(sim::VirtualBoard &b, QTemporaryDir &d) : board(b), dir(d) {}
    sim::VirtualBoard &board;
    QTemporaryDir &dir;
    QString port;          // what --port names
    bool asNobody = false; // run the program as another user
    QString skip;          // why this row cannot run here
    std::function<void()> undo = [] {};
};

struct PortCase {
    const char *name;
    sim::Chip chip;
    void (*setUp)(PortScene &scene);
    QStringList options; // before the command
    int status;
    const char *says; // "PORT: " and this start the message; PORT stands for the port
};

void PrintTo(const PortCase &c, std::ostream *out) {
    *out << c.name;
}

QString boardPort(const PortScene &scene) {
    return QString::fromStdString(scene.board.portPath());
}

// Only root can take a user's rights away from itself; an ordinary user takes them from the
// device instead.
void withoutRights(PortScene &scene) {
    if (::geteuid() == 0) {
        scene.asNobody = true;
        return;
    }
    const QByteArray device = QFile::encodeName(scene.port);
    ::chmod(device.constData(), 0);
    scene.undo = [device] { ::chmod(device.constData(), 0600); };
}

const PortCase kPortCases[] = {
    {"Missing",
     sim::Chip::VXC5480,
     [](PortScene &s) { s.port = s.dir.filePath(QStringLiteral("ttyGone")); },
     {},
     kNoBoard,
     "No such device"},
    {"RegularFile",
     sim::Chip::VXC5480,
     [](PortScene &s) {
         s.port = s.dir.filePath(QStringLiteral("ttyFile"));
         QFile file(s.port);
         EXPECT_TRUE(file.open(QIODevice::WriteOnly));
     },
     {},
     kNoBoard,
     "Not a serial device"},
    {"DeviceThatIsNoTerminal",
     sim::Chip::VXC5480,
     [](PortScene &s) { s.port = QStringLiteral("/dev/null"); },
     {},
     kNoBoard,
     "Not a serial device"},
    {"PermissionDenied",
     sim::Chip::VXC5480,
     [](PortScene &s) {
         s.port = boardPort(s);
         withoutRights(s);
     },
     {},
     kNoBoard,
     "Permission denied (Pellorin's udev rule 70-pellorin.rules"},
    // Another program has the port open (here the test itself, through QSerialPort's lock).
    {"Busy",
     sim::Chip::VXC5480,
     [](PortScene &s) {
         s.port = boardPort(s);
         auto *holder = new QSerialPort(s.port);
         EXPECT_TRUE(holder->open(QIODevice::ReadWrite));
         s.undo = [holder] { delete holder; };
     },
     {},
     kNoBoard,
     "Busy: process "},
    // A run that was killed left its lock file; a run of another user cannot remove it.
    {"StaleLockFile",
     sim::Chip::VXC5480,
     [](PortScene &s) {
         s.port = boardPort(s);
         if (::geteuid() != 0) {
             s.skip = QStringLiteral("a lock file of another user needs root to set up");
             return;
         }
         QProcess ended;
         ended.start(QStringLiteral("/bin/true"));
         ended.waitForFinished();
         const qint64 deadPid = ended.processId() > 0 ? ended.processId() : 999999;
         QString name = s.port.mid(5); // below /dev/
         name.replace(u'/', u'_');
         const QString lock = QStringLiteral("/var/lock/LCK..") + name;
         QFile file(lock);
         EXPECT_TRUE(file.open(QIODevice::WriteOnly));
         file.write(QByteArray::number(deadPid) + "\npellorin-cli\n\n");
         file.close();
         // Owned by another user in the sticky lock folder: nobody may not remove it.
         EXPECT_EQ(::chown(QFile::encodeName(lock).constData(), 1, 1), 0);
         EXPECT_EQ(::chmod(QFile::encodeName(s.port).constData(), 0666), 0);
         s.asNobody = true;
         s.undo = [lock] { QFile::remove(lock); };
     },
     {},
     kNoBoard,
     "Busy: its lock file /var/lock/LCK.."},
    {"BoardOfTheOtherChip",
     sim::Chip::VXC5420,
     [](PortScene &s) { s.port = boardPort(s); },
     {},
     kNoBoard,
     "The board there answers for VXC5420, not VXC5480 (give --chip VXC5420)"},
    {"ChipNamedForTheOtherBoard",
     sim::Chip::VXC5480,
     [](PortScene &s) { s.port = boardPort(s); },
     {QStringLiteral("--chip"), QStringLiteral("VXC5420")},
     kNoBoard,
     "The board there answers for VXC5480, not VXC5420 (give --chip VXC5480)"},
};

class PortCasesTest : public ::testing::TestWithParam<PortCase> {};

TEST_P(PortCasesTest, TheMessageSaysWhy) {
    const PortCase &c = GetParam();
    BoardOnPty pty(c.chip, sim::Pacing::None);
    ASSERT_TRUE(pty.start());
    QTemporaryDir dir;
    PortScene scene(pty.board(), dir);
    c.setUp(scene);
    if (!scene.skip.isEmpty())
        GTEST_SKIP() << scene.skip.toStdString();
    const PortRun run =
        runCli(QStringList{QStringLiteral("--port"), scene.port, QStringLiteral("--no-scan")} +
                   c.options + QStringList{QStringLiteral("detect")},
               scene.asNobody);
    scene.undo();
    EXPECT_EQ(run.status, c.status) << run.err.toStdString();
    const QString line = QStringLiteral("pellorin-cli: %1: %2").arg(scene.port, c.says);
    EXPECT_TRUE(run.err.contains(line)) << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, PortCasesTest, ::testing::ValuesIn(kPortCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(CliSimulate, TheChipNamedIsTheChipSimulated) {
    const PortRun run = runCli({QStringLiteral("--chip"), QStringLiteral("VXC5420"),
                                QStringLiteral("--simulate"), QStringLiteral("detect")},
                               false);
    EXPECT_EQ(run.status, kOk) << run.err.toStdString();
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("\tVXC5420\n"))) << run.out.toStdString();
    EXPECT_EQ(run.err, QString());
}

} // namespace
