#include "port_problem.h"

#include <QFile>
#include <QSerialPort>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Where QSerialPort keeps its lock files, in the order it looks; other programs use the same
// folders.
const char *const kLockFolders[] = {"/var/lock",         "/etc/locks", "/var/spool/locks",
                                    "/var/spool/uucp",   "/tmp",       "/var/tmp",
                                    "/var/lock/lockdev", "/run/lock"};

// "LCK.." and the device's name below /dev, its slashes made underscores.
QString lockNameOf(const QString &path) {
    QString name = path;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    name.replace(u'/', u'_');
    return QStringLiteral("LCK..") + name;
}

QString lockFileOf(const QString &path) {
    for (const char *folder : kLockFolders) {
        const QString lock = QLatin1String(folder) + u'/' + lockNameOf(path);
        if (QFile::exists(lock))
            return lock;
    }
    return QString();
}

// The lock file QSerialPort would take for the port: in the first folder that is readable and
// holds the file or is writable; empty when there is none.
QString lockFileTaken(const QString &path) {
    for (const char *folder : kLockFolders) {
        const QByteArray name(folder);
        const QString lock = QLatin1String(folder) + u'/' + lockNameOf(path);
        if (::access(name.constData(), R_OK) == 0 &&
            (QFile::exists(lock) || ::access(name.constData(), W_OK) == 0))
            return lock;
    }
    return QString();
}

// A lock file is a few dozen bytes (the process, the program, the host).
constexpr off_t kLockFileBytes = 128;

// Why the lock file could not be written, when it cannot: the open refused with no lock file
// left behind means the program's own lock failed (a file-size limit, a full or read-only
// disk). A file of the lock's size is made beside it and removed again; empty when that works.
QString lockWriteProblem(const QString &path) {
    const QString lock = lockFileTaken(path);
    if (lock.isEmpty())
        return QStringLiteral("No folder for its lock file (%1 and the others QSerialPort "
                              "uses are not writable)")
            .arg(QLatin1String(kLockFolders[0]));
    const auto cannotWrite = [&lock](int cause) {
        return QStringLiteral("Its lock file cannot be written: %1 (%2)")
            .arg(qt_error_string(cause), lock);
    };
    // Writing past the limit would raise SIGXFSZ, which ends a program that does not ignore it.
    rlimit size{};
    if (::getrlimit(RLIMIT_FSIZE, &size) == 0 && size.rlim_cur != RLIM_INFINITY &&
        size.rlim_cur < static_cast<rlim_t>(kLockFileBytes))
        return cannotWrite(EFBIG);
    const QByteArray probe = QFile::encodeName(lock + QStringLiteral(".probe%1").arg(::getpid()));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return cannotWrite(errno);
    const char bytes[kLockFileBytes] = {};
    const ssize_t written = ::write(fd, bytes, sizeof bytes);
    const int cause = written < 0 ? errno : (written < kLockFileBytes ? ENOSPC : 0);
    ::close(fd);
    ::unlink(probe.constData());
    return cause == 0 ? QString() : cannotWrite(cause);
}

// The process a lock file names: its first number, in either the one-line form of older
// programs or the pid-name-host lines of QLockFile; 0 when it names none.
qint64 lockOwner(const QString &lock) {
    QFile file(lock);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    bool ok = false;
    const qint64 pid = file.readLine(64).trimmed().toLongLong(&ok);
    return ok ? pid : 0;
}

bool processRuns(qint64 pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

QString busyReason(const QString &path) {
    const QString lock = lockFileOf(path);
    const qint64 owner = lock.isEmpty() ? 0 : lockOwner(lock);
    if (owner > 0 && !processRuns(owner)) {
        return QStringLiteral("Busy: its lock file %1 is left by process %2, which has ended; "
                              "remove the file")
            .arg(lock)
            .arg(owner);
    }
    if (owner > 0)
        return QStringLiteral("Busy: process %1 has it open (lock file %2)").arg(owner).arg(lock);
    return QStringLiteral("Busy: another program has it open");
}

bool isTerminal(const QByteArray &name) {
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true; // cannot tell; the open's own error says more
    termios settings{};
    const bool terminal = ::tcgetattr(fd, &settings) == 0;
    ::close(fd);
    return terminal;
}

} // namespace

QString PortOpenProblem(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0)
        return errno == ENOENT ? QStringLiteral("No such device") : qt_error_string(errno);
    if (!S_ISCHR(status.st_mode))
        return QStringLiteral("Not a serial device");
    if (::access(name.constData(), R_OK | W_OK) != 0) {
        return QStringLiteral("Permission denied (Pellorin's udev rule 70-pellorin.rules gives "
                              "access to the board, or join the dialout group)");
    }
    QSerialPort port(path);
    if (port.open(QIODevice::ReadWrite)) {
        port.close();
        return QString();
    }
    if (!isTerminal(name))
        return QStringLiteral("Not a serial device");
    // Readable and writable, yet refused: another program holds it (its lock file, or the
    // exclusive mode it set).
    if (port.error() == QSerialPort::PermissionError) {
        if (lockFileOf(path).isEmpty()) {
            if (const QString problem = lockWriteProblem(path); !problem.isEmpty())
                return problem;
        }
        return busyReason(path);
    }
    return port.errorString();
}
