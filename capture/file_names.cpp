#include "file_names.h"

#include <QDir>
#include <QFileInfo>

namespace capture {

QString ProposedCaptureName(const QString &folder, const QDateTime &time, FileFormat format) {
    return folder + time.toString(QStringLiteral("'capture_'yyyyMMdd_HHmmss")) +
           (format == FileFormat::Hdf5 ? QStringLiteral(".h5") : QStringLiteral(".csv"));
}

QString PartPath(const QString &path, int number, bool split) {
    if (!split)
        return path;
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    QString stem = path;
    if (!suffix.isEmpty())
        stem.chop(suffix.size() + 1);
    const QString numbered = QStringLiteral("%1_%2").arg(stem).arg(number, 4, 10, QLatin1Char('0'));
    return suffix.isEmpty() ? numbered : numbered + u'.' + suffix;
}

QString CheckOutputPath(const QString &path, bool replace) {
    const QFileInfo info(path);
    if (path.isEmpty() || info.fileName().isEmpty())
        return QStringLiteral("%1: no file name").arg(path);
    if (info.isDir())
        return QStringLiteral("%1: a folder, not a file").arg(path);
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("%1: the folder does not exist").arg(path);
    if (!folder.isWritable())
        return QStringLiteral("%1: the folder cannot be written").arg(path);
    if (info.exists() && !replace)
        return QStringLiteral("%1: the file exists").arg(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("%1: not a regular file").arg(path);
    return QString();
}

} // namespace capture
