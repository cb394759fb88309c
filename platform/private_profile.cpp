#include "private_profile.h"

#include "profile_text.h"

#include <QFile>
#include <QSaveFile>

#include <optional>

namespace platform {
namespace {

// The file's bytes; empty for a missing file, nothing when it cannot be read.
std::optional<QByteArray> load(const QString &path) {
    QFile file(path);
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

QString ReadProfileString(const QString &section, const QString &key, const QString &defaultValue,
                          const QString &path, int bufferSize) {
    const std::optional<QByteArray> bytes = load(path);
    if (!bytes)
        return defaultValue;
    return ProfileValue(*bytes, section, key, defaultValue, bufferSize);
}

bool WriteProfileString(const QString &section, const QString &key, const QString &value,
                        const QString &path) {
    const std::optional<QByteArray> before = load(path);
    if (!before)
        return false;
    const std::optional<QByteArray> after = WithProfileValue(*before, section, key, value);
    if (!after)
        return false;
    // Written whole to a new file that then takes the old one's place: a failed save leaves
    // the old file as it was.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(*after) == after->size() && file.commit();
}

} // namespace platform
