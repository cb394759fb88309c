#pragma once
// Why a file could not be read or written, in words a user can act on: the path as given and
// the cause ("No space left on device", "Is a folder"). Qt Core only.

#include <QDir>
#include <QString>

namespace platform {

struct FileError {
    QString path;
    QString reason; // empty when nothing went wrong

    bool failed() const { return !reason.isEmpty(); }
    // "PATH: reason", the one form every file message takes.
    QString text() const { return QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason; }
};

} // namespace platform
