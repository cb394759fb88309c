#pragma once
// Files of a command run on many boards: each board writes its own, named from the name the
// user gave with a board part that can never be taken for a split part's number.

#include <QString>
#include <QStringList>

namespace cli {

// "board-ttyUSB0" for /dev/ttyUSB0: the port's file name, its underscores made dashes so that
// no board part ends like a split part's "_0002". taken: the parts given to other boards; a
// part already there gets "-2", "-3" ...
QString BoardFilePart(const QString &portPath, const QStringList &taken);

// night.h5 and board-ttyUSB0 give night_board-ttyUSB0.h5; a name without a suffix gets the part
// at its end.
QString PerBoardPath(const QString &path, const QString &boardPart);

// The command's arguments with the value of each option in fileOptions ("--out VALUE" or
// "--out=VALUE") made per board.
QStringList PerBoardArguments(const QStringList &arguments, const QStringList &fileOptions,
                              const QString &boardPart);

} // namespace cli
