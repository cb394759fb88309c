#pragma once
// The one folder every data file is proposed in: the data files of "Save File", the capture,
// and the exports of the noise window and the input scan. It starts as the program's folder
// (its home folder where that cannot be written) and follows the last folder the user picked
// in any of those dialogs for the rest of the run; it is kept in memory only. Qt Core only.

#include <QString>

// Folder proposed for data files, ending with a separator; empty until the main window sets it.
extern QString g_saveFolder;

namespace platform {

// The path a data-file dialog proposes: proposedPath's file name in g_saveFolder, or
// proposedPath as given while g_saveFolder is empty.
QString ProposedDataPath(const QString &proposedPath);

// A data file was chosen: g_saveFolder becomes its folder (with the separator). A name
// without a folder leaves it as it was.
void RememberDataFolder(const QString &chosenPath);

} // namespace platform
