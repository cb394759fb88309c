#include "port_problem.h"

#include <QFile>
#include <QSerialPort>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Where QSerialPort keeps its lock files ("LCK.." and the device's name below /dev, its slashes
// made underscores), in the order it looks; other programs use the same folders.
QString lockFileOf(const QString &path) {
    QString name = path;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    name.replace(u'/', u'_');
    static const char *const kFolders[] = {"/var/lock",         "/etc/locks", "/var/spool/locks",
                                           "/var/spool/uucp",   "/tmp",       "/var/tmp",
                                           "/var/lock/lockdev", "/run/lock"};
    for (const char *folder : kFolders) {
        const QString lock = QLatin1String(folder) + QStringLiteral("/LCK..") + name;
        if (QFile::exists(lock))
            return lock;
    }
    return QString();
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
    if (port.error() == QSerialPort::PermissionError)
        return busyReason(path);
    return port.errorString();
}
