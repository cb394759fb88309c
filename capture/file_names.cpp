#include "file_names.h"

#include "platform/file_writer.h"

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
    // The program's one check of a target, then the capture's own rule: a file written block
    // by block cannot be whole-or-untouched, so an existing one is never touched unasked.
    const platform::FileError error = platform::CheckWritableTarget(path);
    if (error.failed())
        return error.text();
    if (QFileInfo::exists(path) && !replace)
        return platform::FileError{path, QStringLiteral("The file exists (--force replaces it)")}
            .text();
    return QString();
}

} // namespace capture
