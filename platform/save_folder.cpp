#include "save_folder.h"

#include <QDir>
#include <QFileInfo>

QString g_saveFolder;

namespace platform {

QString ProposedDataPath(const QString &proposedPath) {
    if (g_saveFolder.isEmpty())
        return proposedPath;
    return g_saveFolder + QFileInfo(QDir::fromNativeSeparators(proposedPath)).fileName();
}

void RememberDataFolder(const QString &chosenPath) {
    const qsizetype slash = QDir::fromNativeSeparators(chosenPath).lastIndexOf(u'/');
    if (slash >= 0)
        g_saveFolder = chosenPath.left(slash + 1);
}

} // namespace platform
