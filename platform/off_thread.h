#pragma once
// Work that must not hold up the thread that paints: a whole-file write syncs to the disk, which
// may take a second on a slow device. Qt Core only.

#include "file_error.h"
#include "file_writer.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace platform {

// Runs job on a thread of its own and returns once it has ended. Meanwhile the calling thread's
// events run, all but the user's input, which waits until after (nothing is lost): the window
// paints and the streams' updates arrive, and no click starts a second job under the first.
// Called where no event loop can run (no application, or not its thread), job runs at once.
void RunOffThread(const std::function<void()> &job);

// WriteWholeFile and WriteWholeFiles, run by RunOffThread.
FileError WriteWholeFileOffThread(const QString &path, const QByteArray &bytes);
FileError WriteWholeFilesOffThread(const std::vector<FileContents> &files);

} // namespace platform
