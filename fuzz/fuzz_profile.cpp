// Profile reads and writes on any file's bytes. The input is three lines naming the section,
// the key and the value to write, then the file; without three lines the whole input is the
// file and REG/MUX=NEW is written. A write must change only the bytes of the one line it
// writes (or append lines), and the value must read back as written.

#include "fuzz_check.h"

#include "platform/profile_lines.h"
#include "platform/profile_text.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>

using namespace platform;

namespace {

// Names the profile rules can hold: no "]", "=", line breaks or blanks at the ends.
QString nameFrom(const QByteArray &bytes, const char *fallback) {
    QString name;
    for (const char c : bytes) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '_' || c == '.')
            name += QLatin1Char(c);
    }
    return name.isEmpty() ? QString::fromLatin1(fallback) : name;
}

// A value every encoding can hold (Latin-1 characters) that reads back unchanged: no line
// breaks, no blanks at the ends, not wrapped in quotes.
QString valueFrom(const QByteArray &bytes) {
    QString value = QString::fromLatin1(bytes);
    value.remove(u'\r');
    value.remove(u'\n');
    for (;;) {
        value = value.trimmed();
        if (value.size() < 2 || (value.front() != u'"' && value.front() != u'\'') ||
            value.back() != value.front())
            return value;
        value.chop(1);
    }
}

void checkReads(const QByteArray &file, const QString &section, const QString &key) {
    const QString dflt = QStringLiteral("\x01");
    const QString full = ProfileValue(file, section, key, dflt);
    const QString cut = ProfileValue(file, section, key, dflt, 16);
    FUZZ_CHECK(full.startsWith(cut));
    FUZZ_CHECK(cut.size() == std::min<qsizetype>(full.size(), 15));
}

bool isLineBreak(const QByteArray &bytes, qsizetype at, bool utf16, bool littleEndian) {
    if (!utf16)
        return bytes[at] == '\r' || bytes[at] == '\n';
    const char high = bytes[littleEndian ? at + 1 : at];
    const char low = bytes[littleEndian ? at : at + 1];
    return high == 0 && (low == '\r' || low == '\n');
}

// Everything that differs lies inside one line of the old file (a replaced value) or is pure
// insertion (appended lines): the bytes taken out hold no line break and no mark.
void checkOnlyOneLineChanged(const QByteArray &before, const QByteArray &after) {
    const bool utf16 = before.startsWith("\xFF\xFE") || before.startsWith("\xFE\xFF");
    const bool littleEndian = before.startsWith("\xFF\xFE");
    const int width = utf16 ? 2 : 1;
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    // The common start ends on a whole unit: a byte shared by chance with a changed unit (the
    // high 00 of "=" and of a line break in UTF-16) is no part of it, and the common end may
    // claim it instead.
    prefix = prefix / width * width;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    FUZZ_CHECK(prefix >= SplitProfile(before).header.size());
    const qsizetype to = before.size() - suffix;
    if (to <= prefix)
        return; // nothing taken out, only inserted
    for (qsizetype at = prefix; at < to && at + width <= before.size(); at += width)
        FUZZ_CHECK(!isLineBreak(before, at, utf16, littleEndian));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QString section = QStringLiteral("REG"), key = QStringLiteral("MUX");
    QString value = QStringLiteral("NEW");
    QByteArray file = input;
    const qsizetype first = input.indexOf('\n');
    const qsizetype second = first < 0 ? -1 : input.indexOf('\n', first + 1);
    const qsizetype third = second < 0 ? -1 : input.indexOf('\n', second + 1);
    if (third >= 0) {
        section = nameFrom(input.left(first), "REG");
        key = nameFrom(input.mid(first + 1, second - first - 1), "MUX");
        value = valueFrom(input.mid(second + 1, third - second - 1));
        file = input.mid(third + 1);
    }

    checkReads(file, section, key);
    const std::optional<QByteArray> after = WithProfileValue(file, section, key, value);
    FUZZ_CHECK(after.has_value());
    checkOnlyOneLineChanged(file, *after);
    FUZZ_CHECK(ProfileValue(*after, section, key, QStringLiteral("\x01")) == value);
    checkReads(*after, section, key);
    // Writing the same value again changes nothing.
    FUZZ_CHECK(WithProfileValue(*after, section, key, value) == after);
    return 0;
}
