#include "private_profile.h"

#include "profile_text.h"

#include <QFile>
#include <QSaveFile>

#include <optional>

namespace platform {

std::optional<QByteArray> LoadProfileFile(const QString &path) {
    QFile file(path);
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool SaveProfileFile(const QString &path, const QByteArray &bytes) {
    // Written whole to a new file that then takes the old one's place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(bytes) == bytes.size() && file.commit();
}

QString ReadProfileString(const QString &section, const QString &key, const QString &defaultValue,
                          const QString &path, int bufferSize) {
    const std::optional<QByteArray> bytes = LoadProfileFile(path);
    if (!bytes)
        return defaultValue;
    return ProfileValue(*bytes, section, key, defaultValue, bufferSize);
}

bool WriteProfileString(const QString &section, const QString &key, const QString &value,
                        const QString &path) {
    const std::optional<QByteArray> before = LoadProfileFile(path);
    if (!before)
        return false;
    const std::optional<QByteArray> after = WithProfileValue(*before, section, key, value);
    return after && SaveProfileFile(path, *after);
}

} // namespace platform
