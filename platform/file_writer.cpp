#include "file_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

QByteArray native(const QString &path) {
    return QFile::encodeName(path);
}

// Where a file's bytes go and what is there now.
struct Target {
    QString resolved; // the path itself, or the file a symbolic link at it names
    bool exists = false;
    struct stat status {};
};

FileError failure(const QString &path, const QString &reason) {
    return FileError{path, reason};
}

// A link is written through, as an editor does, not replaced by a file of its own.
QString resolvedPath(const QString &path, QString &reason) {
    struct stat link {};
    if (::lstat(native(path).constData(), &link) != 0) {
        // A missing file, or a missing folder that the folder check names.
        if (errno != ENOENT && errno != ENOTDIR)
            reason = qt_error_string(errno);
        return path;
    }
    if (!S_ISLNK(link.st_mode))
        return path;
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

FileError inspect(const QString &path, Target &target) {
    if (path.isEmpty())
        return failure(path, QStringLiteral("No file name"));
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return failure(path, QStringLiteral("Names a folder, not a file"));
    QString reason;
    target.resolved = resolvedPath(path, reason);
    if (!reason.isEmpty())
        return failure(path, reason);

    const QByteArray folder = native(QFileInfo(target.resolved).absolutePath());
    struct stat folderStatus {};
    if (::stat(folder.constData(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode))
        return failure(path, QStringLiteral("No such folder"));
    if (::access(folder.constData(), W_OK | X_OK) != 0)
        return failure(path, qt_error_string(errno));

    const QByteArray file = native(target.resolved);
    target.exists = ::stat(file.constData(), &target.status) == 0;
    if (!target.exists)
        return FileError{};
    if (S_ISDIR(target.status.st_mode))
        return failure(path, QStringLiteral("Is a folder"));
    if (!S_ISREG(target.status.st_mode))
        return failure(path, QStringLiteral("Not a regular file"));
    // A file the user made read-only is one they mean to keep, even where the folder would let
    // a new file take its place, and even for root, who may write anything.
    if ((target.status.st_mode & 0222) == 0)
        return failure(path, QStringLiteral("Read-only file"));
    if (::access(file.constData(), W_OK) != 0)
        return failure(path, qt_error_string(errno));
    return FileError{};
}

QString randomSuffix() {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix(QStringLiteral("."));
    for (int i = 0; i < 6; ++i)
        suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
    return suffix;
}

// A new file beside the target, named after it; -1 and errno when none could be made.
int createBeside(const Target &target, QString &name) {
    // An existing file's permissions are copied once the file is made; until then no one else
    // may read it. A new file gets what the user's umask allows.
    const mode_t mode = target.exists ? 0600 : 0666;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target.resolved + randomSuffix();
        const int fd =
            ::open(native(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool writeContents(int fd, const FileContents &contents) {
    errno = 0;
    if (contents.produce)
        return contents.produce([fd](std::string_view bytes) { return writeAll(fd, bytes); });
    return writeAll(fd, std::string_view(contents.bytes.constData(),
                                         static_cast<size_t>(contents.bytes.size())));
}

// The bytes in a new file beside the target, on the disk; its name in temporary. The file is
// gone again when this fails.
FileError writeBeside(const QString &path, const Target &target, const FileContents &contents,
                      QString &temporary) {
    const int fd = createBeside(target, temporary);
    if (fd < 0)
        return failure(path, qt_error_string(errno));
    if (target.exists) {
        ::fchmod(fd, target.status.st_mode & 07777);
        // Keeps the owner when root saves over a user's file; refused to anyone else, and
        // then the file is simply theirs.
        if (::fchown(fd, target.status.st_uid, target.status.st_gid) != 0) {
        }
    }
    int cause = 0;
    if (!writeContents(fd, contents))
        cause = errno != 0 ? errno : EIO;
    else if (::fsync(fd) != 0 && errno != EINVAL) // EINVAL: a file system with nothing to sync
        cause = errno;
    // Some file systems report a failed write only when the file is closed.
    if (::close(fd) != 0 && cause == 0 && errno != EINTR)
        cause = errno;
    if (cause == 0)
        return FileError{};
    ::unlink(native(temporary).constData());
    temporary.clear();
    return failure(path, qt_error_string(cause));
}

void syncFolder(const QString &file) {
    // The renames themselves reach the disk; a folder that cannot sync is left as it is.
    const int fd = ::open(native(QFileInfo(file).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void removeAll(const std::vector<QString> &names) {
    for (const QString &name : names) {
        if (!name.isEmpty())
            ::unlink(native(name).constData());
    }
}

} // namespace

FileError CheckWritableTarget(const QString &path) {
    Target target;
    return inspect(path, target);
}

FileError WriteWholeFile(const QString &path, const QByteArray &bytes) {
    return WriteWholeFiles({FileContents{path, bytes}});
}

FileError WriteWholeFiles(const std::vector<FileContents> &files) {
    const size_t count = files.size();
    std::vector<Target> targets(count);
    for (size_t i = 0; i < count; ++i) {
        const FileError error = inspect(files[i].path, targets[i]);
        if (error.failed())
            return error;
    }
    std::vector<QString> temporaries(count);
    for (size_t i = 0; i < count; ++i) {
        const FileError error = writeBeside(files[i].path, targets[i], files[i], temporaries[i]);
        if (error.failed()) {
            removeAll(temporaries);
            return error;
        }
    }
    // With several files, a second name for each old one, so that the first can be put back
    // should a later one fail to take its place. Best effort: a file system without hard links
    // (FAT) keeps the new file then.
    std::vector<QString> keptOld(count);
    for (size_t i = 0; count > 1 && i < count; ++i) {
        if (!targets[i].exists)
            continue;
        keptOld[i] = targets[i].resolved + randomSuffix();
        if (::link(native(targets[i].resolved).constData(), native(keptOld[i]).constData()) != 0)
            keptOld[i].clear();
    }
    for (size_t i = 0; i < count; ++i) {
        if (::rename(native(temporaries[i]).constData(), native(targets[i].resolved).constData()) ==
            0) {
            temporaries[i].clear();
            continue;
        }
        const FileError error = failure(files[i].path, qt_error_string(errno));
        for (size_t j = 0; j < i; ++j) {
            const QByteArray placed = native(targets[j].resolved);
            if (!keptOld[j].isEmpty() && ::rename(native(keptOld[j]).constData(), placed) == 0)
                keptOld[j].clear();
            else if (!targets[j].exists)
                ::unlink(placed.constData());
        }
        removeAll(temporaries);
        removeAll(keptOld);
        return error;
    }
    removeAll(keptOld);
    std::set<QString> folders;
    for (const Target &target : targets) {
        if (folders.insert(QFileInfo(target.resolved).absolutePath()).second)
            syncFolder(target.resolved);
    }
    return FileError{};
}

} // namespace platform
