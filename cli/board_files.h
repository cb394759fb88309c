#pragma once
// The arguments of a command run on many boards: each board writes its own files, named by the
// capture's rule for a board's files (capture/file_names.h: BoardFilePart, PerBoardPath).

#include <QString>
#include <QStringList>

namespace cli {

// The command's arguments with the value of each option in fileOptions ("--out VALUE" or
// "--out=VALUE") made per board (capture::PerBoardPath).
QStringList PerBoardArguments(const QStringList &arguments, const QStringList &fileOptions,
                              const QString &boardPart);

} // namespace cli
