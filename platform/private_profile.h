#pragma once
// INI files with the private-profile rules Pellorin keeps on every platform, so a profile moves
// between machines and platforms unchanged:
// - section and key names match without regard to letter case; values come back trimmed,
//   and a value enclosed in one pair of matching quotes comes back without them;
// - a write replaces the one value in place and leaves every other line of the file byte for
//   byte as it was; a missing file, section or key is created;
// - files in UTF-8 (with or without a BOM), in a single-byte code page, or in UTF-16 with a
//   BOM are read; a write puts its one line in the file's own encoding and line ends, and
//   every other byte of the file stays (see profile_lines.h);
// - a new file is written with CR LF line ends.
// Qt Core only.

#include "file_reader.h"
#include "file_writer.h"

#include <QByteArray>
#include <QString>

namespace platform {

// The value of key in section, or defaultValue when the file, the section or the key is
// missing; a file that cannot be read (see LoadProfileFile) reads as missing. With bufferSize > 0
// at most bufferSize - 1 characters come back, as from a buffer of that many characters with its
// terminator.
QString ReadProfileString(const QString &section, const QString &key, const QString &defaultValue,
                          const QString &path, int bufferSize = 0);

// Sets key in section to value; false when the file could not be read or written, or when a
// name or the value holds a line break (the file is then left alone).
bool WriteProfileString(const QString &section, const QString &key, const QString &value,
                        const QString &path);

// Profiles are small: a larger file is no profile of ours, and is refused before it is read.
constexpr qint64 kMaxProfileSize = 1024 * 1024;

// The two ends of the functions above, for a caller that reads or sets many values of one
// file and so reads it, or writes it, only once (see profile_text.h for what lies between).
// The file's bytes; a missing file reads as empty, with missing set. The error says why a file
// cannot be read: a folder, a FIFO or device, one above kMaxProfileSize.
FileRead LoadProfileFile(const QString &path);
// Puts bytes in place of the file whole; after a failure the old file is as it was.
FileError SaveProfileFile(const QString &path, const QByteArray &bytes);

} // namespace platform
