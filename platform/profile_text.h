#pragma once
// The private-profile rules on a file's bytes, without the file: what ReadProfileString and
// WriteProfileString do once the bytes are read. Qt Core only.

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// The value of key in section, or defaultValue when the section or the key is missing. With
// bufferSize > 0 at most bufferSize - 1 characters come back.
QString ProfileValue(const QByteArray &file, const QString &section, const QString &key,
                     const QString &defaultValue, int bufferSize = 0);

// The file's bytes with key in section set to value: the key's line replaced, or the key (and
// its section) appended; every other byte as it was. Nothing when a name or the value holds a
// line break, which would add lines of its own.
std::optional<QByteArray> WithProfileValue(const QByteArray &file, const QString &section,
                                           const QString &key, const QString &value);

} // namespace platform
