#include "data_files.h"

#include "platform/message_service.h"
#include "platform/off_thread.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {
constexpr int kRawOpenFailed = 1006;
constexpr int kTextOpenFailed = -1;

// The file whole or not at all; a failure is told with the platform's file-error text. The
// sync to the disk runs off the window's thread, which goes on painting meanwhile.
int writeWhole(const QString &path, const QByteArray &bytes, QObject *owner, int failure) {
    if (path.isEmpty())
        return 0;
    const platform::FileError error = platform::WriteWholeFileOffThread(path, bytes);
    if (!error.failed())
        return 0;
    platform::ShowFileError(owner, error);
    return failure;
}
} // namespace

QString DefaultBaseName(const QDateTime &time) {
    const QDate d = time.date();
    const QTime t = time.time();
    return QString::asprintf("ADC_%d%02d%02d_%02d_%02d_%02d", d.year(), d.month(), d.day(),
                             t.hour(), t.minute(), t.second());
}

QString RawPathFor(const QString &textPath) {
    // A dot in a folder's name is no extension: the raw file stays beside the text file.
    const qsizetype dot = textPath.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < FolderOf(textPath).size())
        return QString();
    return textPath.left(dot) + QStringLiteral(".bin");
}

QString FolderOf(const QString &path) {
    const QString native = QDir::fromNativeSeparators(path);
    const qsizetype slash = native.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

bool MoveToFreshNameIfRawExists(SavePaths &paths, const QString &folder, const QDateTime &now) {
    if (paths.m_rawPath.isEmpty() || !QFileInfo::exists(paths.m_rawPath))
        return false;
    const QString stamp = folder + DefaultBaseName(now);
    QString base = stamp;
    for (int n = 2; QFileInfo::exists(base + QStringLiteral(".bin")) ||
                    QFileInfo::exists(base + QStringLiteral(".txt"));
         ++n)
        base = stamp + QStringLiteral("_%1").arg(n);
    paths.m_rawPath = base + QStringLiteral(".bin");
    paths.m_textPath = base + QStringLiteral(".txt");
    return true;
}

QByteArray FormatTextFile(const std::vector<int32_t> &samples) {
    QByteArray text;
    text.reserve(static_cast<qsizetype>(samples.size()) * 11);
    char line[16];
    for (const int32_t v : samples) {
        const int n = std::snprintf(line, sizeof line, "%9d\r\n", static_cast<int>(v));
        text.append(line, n);
    }
    return text;
}

int SaveRawFile(const QString &rawPath, const uint8_t *items, int64_t byteCount, QObject *owner) {
    const QByteArray bytes(reinterpret_cast<const char *>(items),
                           static_cast<qsizetype>(byteCount));
    return writeWhole(rawPath, bytes, owner, kRawOpenFailed);
}

int SaveTextFile(const QString &textPath, const std::vector<int32_t> &samples, QObject *owner) {
    return writeWhole(textPath, FormatTextFile(samples), owner, kTextOpenFailed);
}
