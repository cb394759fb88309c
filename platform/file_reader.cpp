#include "file_reader.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

QString tooLarge(qint64 size, qint64 maxSize) {
    return QStringLiteral("Larger than %1 (%2 bytes)").arg(SizeText(maxSize)).arg(size);
}

// Resources are compiled into the program: nothing there can block or be a device.
FileRead readResource(const QString &path, qint64 maxSize) {
    FileRead read;
    read.error.path = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.missing = !file.exists();
        read.error.reason = file.errorString();
    } else if (file.size() > maxSize) {
        read.error.reason = tooLarge(file.size(), maxSize);
    } else {
        read.bytes = file.readAll();
    }
    return read;
}

} // namespace

QString SizeText(qint64 bytes) {
    constexpr qint64 kMiB = 1024 * 1024;
    if (bytes > 0 && bytes % kMiB == 0)
        return QStringLiteral("%1 MiB").arg(bytes / kMiB);
    return QStringLiteral("%1 bytes").arg(bytes);
}

FileRead ReadRegularFile(const QString &path, qint64 maxSize) {
    if (path.startsWith(u':'))
        return readResource(path, maxSize);
    FileRead read;
    read.error.path = path;
    if (path.isEmpty()) {
        read.error.reason = QStringLiteral("No file name");
        return read;
    }
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    const Descriptor file{
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) {
        read.missing = errno == ENOENT;
        read.error.reason = qt_error_string(errno);
        return read;
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0) {
        read.error.reason = qt_error_string(errno);
        return read;
    }
    if (S_ISDIR(status.st_mode)) {
        read.error.reason = QStringLiteral("Is a folder");
        return read;
    }
    if (!S_ISREG(status.st_mode)) {
        read.error.reason = QStringLiteral("Not a regular file");
        return read;
    }
    // The size decides before anything is read: a huge file costs no time and no memory.
    const qint64 size = status.st_size;
    if (size > maxSize) {
        read.error.reason = tooLarge(size, maxSize);
        return read;
    }
    QByteArray bytes(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::read(file.fd, bytes.data() + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            read.error.reason = qt_error_string(errno);
            return read;
        }
        if (n == 0) {
            // Cut short while being read: never taken for the whole file.
            read.error.reason =
                QStringLiteral("Only %1 of its %2 bytes could be read").arg(done).arg(size);
            return read;
        }
        done += n;
    }
    read.bytes = bytes;
    return read;
}

} // namespace platform
