#pragma once
// A profile file as its lines of bytes. The file is never decoded and re-encoded as a whole:
// each line keeps its bytes, and only what is compared or returned is decoded, so a save can
// change one line and leave every other byte of the file as it was, whatever it holds.
// Qt Core only.

#include <QByteArray>
#include <QString>

#include <vector>

namespace platform {

enum class ProfileEncoding { Utf8, Latin1, Utf16Le, Utf16Be };

struct ProfileLine {
    QByteArray body;
    QByteArray end; // the line's own CR LF, LF or CR; empty for a last line without one
};

struct ProfileFile {
    ProfileEncoding encoding = ProfileEncoding::Utf8;
    QByteArray header; // the byte-order marks in front of the first line, as many as there are
    std::vector<ProfileLine> lines;
};

// The encoding is chosen over the whole file: a byte-order mark says UTF-16 or UTF-8; without
// one the file is UTF-8 only when all of it is, an unfinished sequence at the end included,
// and otherwise a single-byte code page, read as Latin-1 so that every byte has a character.
ProfileFile SplitProfile(const QByteArray &bytes);
QByteArray JoinProfile(const ProfileFile &file);

// A line's text for comparing and returning. Bytes that are not UTF-8 in a file marked UTF-8
// come back as U+FFFD; half a UTF-16 unit at the end of a file reads as if completed by a zero
// byte, as it will be once a line is appended after it.
QString DecodeLine(const QByteArray &body, ProfileEncoding encoding);
QByteArray EncodeText(const QString &text, ProfileEncoding encoding);

// The bytes of a line's key: up to its first "=" (the whole line without one), without the
// ASCII blanks around it.
QByteArray KeyBytes(const QByteArray &body, ProfileEncoding encoding);

// Terminates a last line that has none with the file's first line end (CR LF in a file that
// has none), completing half a UTF-16 unit first, so that what follows starts a new line.
void TerminateLastLine(ProfileFile &file);
QByteArray LineEnd(const ProfileFile &file);

} // namespace platform
