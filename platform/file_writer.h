#pragma once
// The one way the program writes a file: whole or not at all. The bytes go to a new file in the
// target's folder, every write is checked, the file is flushed to the disk and only then
// renamed over the target, so a full disk, a size limit or a failing device leaves the old
// file byte for byte as it was and no temporary file behind. The target is never opened for
// writing itself. Qt Core only.

#include "file_error.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <string_view>
#include <vector>

namespace platform {

// Why nothing can be written at path, found before any work is done: no file name, a name
// that is only a folder, a missing or unwritable folder, a target that is a folder or not a
// regular file (a FIFO, a device), or an existing file that may not be written (read-only
// for everyone, or not writable by this user). failed() is false when the write may go ahead.
FileError CheckWritableTarget(const QString &path);

// Takes the next bytes of a file; false when they could not be written.
using ByteSink = std::function<bool(std::string_view bytes)>;

struct FileContents {
    QString path;
    QByteArray bytes;
    // When set, gives the file's bytes piece by piece in place of bytes, so that a long file is
    // never held whole in memory; it returns false when the sink did (and stops there).
    std::function<bool(const ByteSink &sink)> produce = {};
};

// Writes one file whole; on failure the old file (if any) is untouched.
FileError WriteWholeFile(const QString &path, const QByteArray &bytes);

// Writes several files as one: every file is written and flushed before the first takes its
// place, and should a later one fail to take its place, those already in place are put back.
// So either all are written or none is changed. The error names the file that failed.
FileError WriteWholeFiles(const std::vector<FileContents> &files);

} // namespace platform
