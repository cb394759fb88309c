#include "file_names.h"

#include "platform/file_writer.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace capture {

QString ProposedCaptureName(const QString &folder, const QDateTime &time, FileFormat format) {
    return folder + time.toString(QStringLiteral("'capture_'yyyyMMdd_HHmmss")) +
           (format == FileFormat::Hdf5 ? QStringLiteral(".h5") : QStringLiteral(".csv"));
}

QString FormatSuffix(FileFormat format) {
    return format == FileFormat::Hdf5 ? QStringLiteral("h5") : QStringLiteral("csv");
}

std::optional<FileFormat> FormatOfPath(const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("h5") || suffix == QLatin1String("hdf5") ||
        suffix == QLatin1String("hdf"))
        return FileFormat::Hdf5;
    if (suffix == QLatin1String("csv"))
        return FileFormat::Csv;
    return std::nullopt;
}

QString PathForFormat(const QString &path, FileFormat format) {
    const std::optional<FileFormat> named = FormatOfPath(path);
    if (!named || *named == format)
        return path;
    QString renamed = path;
    renamed.chop(QFileInfo(path).suffix().size());
    return renamed + FormatSuffix(format);
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

platform::FileError CheckOutputPath(const QString &path, bool replace) {
    // The program's one check of a target, then the capture's own rule: a file written block
    // by block cannot be whole-or-untouched, so an existing one is never touched unasked.
    const platform::FileError error = platform::CheckWritableTarget(path);
    if (error.failed() || replace)
        return error;
    const QFileInfo info(path);
    if (info.exists())
        return {path, QStringLiteral("The file exists (--force replaces it)")};
    // A new file cannot be made at a link's name; with --force the link is written through.
    if (info.isSymLink())
        return {path, QStringLiteral("A link to a file that does not exist "
                                     "(--force writes through it)")};
    return {};
}

namespace {
// The files a capture of path may meet: its first file, and with a split every numbered file of
// the same name already in the folder.
QStringList CaptureTargets(const QString &path, bool split) {
    const QString first = PartPath(path, 1, split);
    QStringList targets{first};
    if (!split)
        return targets;
    // The names in the folder that PartPath gives for some number: the digits after an
    // underscore, read back through PartPath itself, so the rule lives in one place.
    const QString name = QFileInfo(path).fileName();
    const QDir folder = QFileInfo(first).dir();
    static const QRegularExpression digits(QStringLiteral("_(\\d{4,})"));
    std::vector<int> numbers;
    for (const QString &entry :
         folder.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        for (auto match = digits.globalMatch(entry); match.hasNext();) {
            bool ok = false;
            const qlonglong number = match.next().captured(1).toLongLong(&ok);
            if (ok && number > 1 && number <= std::numeric_limits<int>::max() &&
                PartPath(name, static_cast<int>(number), true) == entry)
                numbers.push_back(static_cast<int>(number));
        }
    }
    std::sort(numbers.begin(), numbers.end());
    for (const int number : numbers)
        targets << PartPath(path, number, true);
    return targets;
}
} // namespace

platform::FileError CheckCapturePaths(const QString &path, bool split, bool replace) {
    for (const QString &target : CaptureTargets(path, split)) {
        if (const platform::FileError refused = CheckOutputPath(target, replace); refused.failed())
            return refused;
    }
    return {};
}

QStringList ExistingCaptureFiles(const QString &path, bool split) {
    QStringList existing;
    for (const QString &target : CaptureTargets(path, split)) {
        const QFileInfo info(target);
        if (info.exists() || info.isSymLink())
            existing << target;
    }
    return existing;
}

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

} // namespace capture
