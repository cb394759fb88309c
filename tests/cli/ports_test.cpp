// Why a port named with --port gave no board, as the built pellorin-cli tells it: one table of
// the ways a port fails, each run as its own process (some as another user, as a user without
// the udev rule would run it).

#include "cli/exit_codes.h"
#include "sim/virtual_board.h"
#include "tests/support/board_on_pty.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace cli::exit_code;

namespace {

constexpr uid_t kNobody = 65534;

struct PortRun {
    int status = -1;
    QString err;
    QString out;
};

// Why the user nobody could not start the program at path; empty when nobody can: every folder
// on the way must let others through, the file must let them run it, and its file system must
// allow programs.
QString WhyNobodyCannotRun(const QString &path) {
    const QByteArray file = QFile::encodeName(path);
    struct statvfs volume {};
    if (::statvfs(file.constData(), &volume) == 0 && (volume.f_flag & ST_NOEXEC))
        return QStringLiteral("%1 lies on a file system that runs no programs").arg(path);
    QString step = path;
    for (;;) {
        struct stat info {};
        if (::stat(QFile::encodeName(step).constData(), &info) != 0)
            return QStringLiteral("%1 cannot be examined").arg(step);
        if (!(info.st_mode & S_IXOTH))
            return QStringLiteral("the user nobody cannot pass %1").arg(step);
        if (step == QLatin1String("/"))
            return QString();
        step = QFileInfo(step).absolutePath();
    }
}

// The program the user nobody starts: a copy of the one built, in a fresh folder under /tmp that
// everyone may enter. The build tree may lie where only its owner enters (a clone made with
// `mktemp -d`, a private home); the program carries our own libraries, and Qt's come from the
// system.
struct ProgramForNobody {
    ProgramForNobody() : dir(QStringLiteral("/tmp/pellorin-cli-XXXXXX")) {
        if (!dir.isValid()) {
            whyNot = QStringLiteral("no folder for a copy of pellorin-cli could be made in /tmp");
            return;
        }
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        path = dir.filePath(QStringLiteral("pellorin-cli"));
        if (!QFile::copy(QStringLiteral(PELLORIN_CLI_PATH), path) ||
            ::chmod(QFile::encodeName(path).constData(), 0755) != 0) {
            whyNot = QStringLiteral("pellorin-cli could not be copied to %1").arg(dir.path());
            return;
        }
        whyNot = WhyNobodyCannotRun(path);
    }
    QTemporaryDir dir;
    QString path;
    QString whyNot; // empty when nobody can start path
};

// pellorin-cli with the arguments; as the user nobody when given the copy nobody can start (the
// tests run as root), and under a file-size limit when one is given.
PortRun runCli(const QStringList &arguments, const ProgramForNobody *asNobody = nullptr,
               rlim_t fileLimit = RLIM_INFINITY) {
    QProcess process;
    QString program = QStringLiteral(PELLORIN_CLI_PATH);
    if (asNobody) {
        program = asNobody->path;
        process.setWorkingDirectory(asNobody->dir.path());
    }
    const bool nobody = asNobody != nullptr;
    process.setChildProcessModifier([nobody, fileLimit] {
        const rlimit size{fileLimit, fileLimit};
        if (::setrlimit(RLIMIT_FSIZE, &size) != 0)
            ::_exit(98);
        if (nobody && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(99);
    });
    process.start(program, arguments);
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
    rlim_t fileLimit = RLIM_INFINITY;
    QString skip; // why this row cannot run here
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
    // The port is free, but the program's own lock file cannot be written (ulimit -f 0): the
    // cause, not "busy".
    {"LockFileCannotBeWritten",
     sim::Chip::VXC5480,
     [](PortScene &s) {
         s.port = boardPort(s);
         s.fileLimit = 0;
     },
     {},
     kNoBoard,
     "Its lock file cannot be written: File too large ("},
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
    std::unique_ptr<ProgramForNobody> nobodys;
    if (scene.skip.isEmpty() && scene.asNobody) {
        nobodys = std::make_unique<ProgramForNobody>();
        scene.skip = nobodys->whyNot;
    }
    if (!scene.skip.isEmpty()) {
        scene.undo();
        GTEST_SKIP() << scene.skip.toStdString();
    }
    const PortRun run =
        runCli(QStringList{QStringLiteral("--port"), scene.port, QStringLiteral("--no-scan")} +
                   c.options + QStringList{QStringLiteral("detect")},
               nobodys.get(), scene.fileLimit);
    scene.undo();
    EXPECT_EQ(run.status, c.status) << run.err.toStdString();
    const QString line = QStringLiteral("pellorin-cli: %1: %2").arg(scene.port, c.says);
    EXPECT_TRUE(run.err.contains(line)) << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, PortCasesTest, ::testing::ValuesIn(kPortCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(CliSimulate, TheChipNamedIsTheChipSimulated) {
    const PortRun run = runCli({QStringLiteral("--chip"), QStringLiteral("VXC5420"),
                                QStringLiteral("--simulate"), QStringLiteral("detect")});
    EXPECT_EQ(run.status, kOk) << run.err.toStdString();
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("\tVXC5420\n"))) << run.out.toStdString();
    EXPECT_EQ(run.err, QString());
}

} // namespace
