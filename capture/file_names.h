#pragma once
// The names of a capture's files, and the check of an output path before the board is touched.

#include "capture_settings.h"

#include "platform/file_error.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace capture {

// "capture_YYYYMMDD_HHMMSS.h5" (or ".csv") in folder, which ends with a separator or is empty.
QString ProposedCaptureName(const QString &folder, const QDateTime &time, FileFormat format);

// The suffix a format's files carry: "h5" or "csv".
QString FormatSuffix(FileFormat format);
// The format a path's suffix names (.h5, .hdf5, .hdf or .csv, in any case); none for another.
std::optional<FileFormat> FormatOfPath(const QString &path);
// path with a suffix that names the other format replaced by format's own; any other path as
// it is. A file named for one format never receives the other.
QString PathForFormat(const QString &path, FileFormat format);

// The file of a capture that is not split: path as given. Numbered files put "_0001",
// "_0002", ... before the suffix: run.h5 gives run_0001.h5, run_0002.h5, ...
QString PartPath(const QString &path, int number, bool split);

// An empty string when the capture may write there; otherwise "PATH: why not": the program's
// check of a target (platform::CheckWritableTarget), or an existing file (or a link to a file
// that does not exist yet) without replace.
platform::FileError CheckOutputPath(const QString &path, bool replace);

// Every file a capture of path may write, checked as CheckOutputPath does: the file itself, or
// with a split its first numbered file and every numbered file of the same name already there
// (run_0002.h5, run_0003.h5 ...), which a later split would meet. A capture cannot know how
// many files it will write, so the names on the disk are the ones that can refuse it.
platform::FileError CheckCapturePaths(const QString &path, bool split, bool replace);

// Of the files CheckCapturePaths looks at, those already there (a link too, even one to a file
// that does not exist): what a capture would replace. Empty when it replaces nothing.
QStringList ExistingCaptureFiles(const QString &path, bool split);

// Files of a run on many boards: each board writes its own, named from the name the user gave
// with a board part that can never be taken for a split part's number.
//
// "board-ttyUSB0" for /dev/ttyUSB0: the port's file name, its underscores made dashes so that
// no board part ends like a split part's "_0002". taken: the parts given to other boards; a
// part already there gets "-2", "-3" ...
QString BoardFilePart(const QString &portPath, const QStringList &taken);

// night.h5 and board-ttyUSB0 give night_board-ttyUSB0.h5; a name without a suffix gets the part
// at its end.
QString PerBoardPath(const QString &path, const QString &boardPart);

} // namespace capture
