#include "board_files.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace cli {

QString BoardFilePart(const QString &portPath, const QStringList &taken) {
    QString name = QFileInfo(portPath).fileName();
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9.-]"));
    name.replace(unsafe, QStringLiteral("-"));
    if (name.isEmpty())
        name = QStringLiteral("port");
    const QString part = QStringLiteral("board-") + name;
    QString unique = part;
    for (int n = 2; taken.contains(unique); ++n)
        unique = QStringLiteral("%1-%2").arg(part).arg(n);
    return unique;
}

QString PerBoardPath(const QString &path, const QString &boardPart) {
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    // A dot in a folder's name is no suffix; nor is a leading dot of a hidden file's.
    if (suffix.isEmpty() || info.completeBaseName().isEmpty())
        return path + u'_' + boardPart;
    QString stem = path;
    stem.chop(suffix.size() + 1);
    return stem + u'_' + boardPart + u'.' + suffix;
}

QStringList PerBoardArguments(const QStringList &arguments, const QStringList &fileOptions,
                              const QString &boardPart) {
    QStringList result = arguments;
    for (int i = 0; i < result.size(); ++i) {
        for (const QString &name : fileOptions) {
            // A value never begins with "--": the command's own check names that mistake.
            if (result[i] == name && i + 1 < result.size() &&
                !result[i + 1].startsWith(QLatin1String("--"))) {
                ++i;
                result[i] = PerBoardPath(result[i], boardPart);
            } else if (result[i].startsWith(name + u'=')) {
                result[i] = name + u'=' + PerBoardPath(result[i].mid(name.size() + 1), boardPart);
            }
        }
    }
    return result;
}

} // namespace cli
