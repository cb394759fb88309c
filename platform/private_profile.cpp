#include "private_profile.h"

#include "profile_text.h"

#include <optional>

namespace platform {

FileRead LoadProfileFile(const QString &path) {
    FileRead read = ReadRegularFile(path, kMaxProfileSize);
    if (read.missing)
        read.error = FileError{};
    return read;
}

FileError SaveProfileFile(const QString &path, const QByteArray &bytes) {
    return WriteWholeFile(path, bytes);
}

QString ReadProfileString(const QString &section, const QString &key, const QString &defaultValue,
                          const QString &path, int bufferSize) {
    const FileRead file = LoadProfileFile(path);
    if (file.error.failed())
        return defaultValue;
    return ProfileValue(file.bytes, section, key, defaultValue, bufferSize);
}

bool WriteProfileString(const QString &section, const QString &key, const QString &value,
                        const QString &path) {
    const FileRead before = LoadProfileFile(path);
    if (before.error.failed())
        return false;
    const std::optional<QByteArray> after = WithProfileValue(before.bytes, section, key, value);
    return after && !SaveProfileFile(path, *after).failed();
}

} // namespace platform
