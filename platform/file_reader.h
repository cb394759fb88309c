#pragma once
// The one way files the user names are read (profiles, firmware images, the old profile under
// a save): only a regular file, opened without blocking, so a FIFO, a device such as
// /dev/zero or a folder is refused at once instead of hanging or filling memory; never more
// than a cap, checked against the file's size before a byte is read; and the whole file or
// nothing. Qt Core only.

#include "file_error.h"

#include <QByteArray>
#include <QString>

namespace platform {

struct FileRead {
    QByteArray bytes;
    FileError error;      // failed() when the file could not be read whole
    bool missing = false; // nothing at the path (error says so too)
};

// The whole file at path, at most maxSize bytes. Qt resource paths (":/...") are read as well.
FileRead ReadRegularFile(const QString &path, qint64 maxSize);

// "1 MiB" for a cap that is a whole number of MiB, else the byte count.
QString SizeText(qint64 bytes);

} // namespace platform
