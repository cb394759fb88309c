#include "profile_lines.h"

#include <QStringDecoder>

namespace platform {
namespace {

bool isUtf16(ProfileEncoding encoding) {
    return encoding == ProfileEncoding::Utf16Le || encoding == ProfileEncoding::Utf16Be;
}

int unitSize(ProfileEncoding encoding) {
    return isUtf16(encoding) ? 2 : 1;
}

// The code unit at byte offset i; the caller makes sure the whole unit is there.
char16_t unitAt(const QByteArray &bytes, qsizetype i, ProfileEncoding encoding) {
    const auto byte = [&bytes](qsizetype at) { return static_cast<char16_t>(uint8_t(bytes[at])); };
    switch (encoding) {
    case ProfileEncoding::Utf16Le:
        return static_cast<char16_t>(byte(i) | byte(i + 1) << 8);
    case ProfileEncoding::Utf16Be:
        return static_cast<char16_t>(byte(i) << 8 | byte(i + 1));
    case ProfileEncoding::Utf8:
    case ProfileEncoding::Latin1:
        break;
    }
    return byte(i);
}

// Blanks as the C library and QString::trimmed() see them in ASCII. Bytes below 0x80 are
// the same characters in every encoding read here, and never part of a UTF-8 sequence.
bool isAsciiBlank(char16_t unit) {
    return unit == u' ' || (unit >= u'\t' && unit <= u'\r');
}

// Half a UTF-16 unit at the end of a file completed by a zero byte.
QByteArray completed(const QByteArray &body, ProfileEncoding encoding) {
    if (!isUtf16(encoding) || body.size() % 2 == 0)
        return body;
    return body + QByteArray(1, '\0');
}

bool isWholeUtf8(const QByteArray &bytes) {
    // Stateless: a sequence left unfinished at the end is an error, not a state to carry.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

} // namespace

ProfileFile SplitProfile(const QByteArray &bytes) {
    ProfileFile file;
    QByteArray bom;
    if (bytes.startsWith(QByteArray("\xFF\xFE", 2))) {
        file.encoding = ProfileEncoding::Utf16Le;
        bom = QByteArray("\xFF\xFE", 2);
    } else if (bytes.startsWith(QByteArray("\xFE\xFF", 2))) {
        file.encoding = ProfileEncoding::Utf16Be;
        bom = QByteArray("\xFE\xFF", 2);
    } else if (bytes.startsWith(QByteArray("\xEF\xBB\xBF", 3))) {
        bom = QByteArray("\xEF\xBB\xBF", 3);
    } else if (!isWholeUtf8(bytes)) {
        file.encoding = ProfileEncoding::Latin1;
    }
    // A mark written twice stays with the first: it is no part of the first line's name.
    qsizetype start = 0;
    while (!bom.isEmpty() && bytes.mid(start, bom.size()) == bom)
        start += bom.size();
    file.header = bytes.left(start);

    const int width = unitSize(file.encoding);
    const qsizetype size = bytes.size();
    for (qsizetype i = start; i + width <= size; i += width) {
        const char16_t unit = unitAt(bytes, i, file.encoding);
        if (unit != u'\r' && unit != u'\n')
            continue;
        qsizetype endSize = width;
        if (unit == u'\r' && i + 2 * width <= size &&
            unitAt(bytes, i + width, file.encoding) == u'\n')
            endSize += width;
        file.lines.push_back({bytes.mid(start, i - start), bytes.mid(i, endSize)});
        i += endSize - width;
        start = i + width;
    }
    if (start < size)
        file.lines.push_back({bytes.mid(start), QByteArray()});
    return file;
}

QByteArray JoinProfile(const ProfileFile &file) {
    QByteArray bytes = file.header;
    for (const ProfileLine &line : file.lines)
        bytes += line.body + line.end;
    return bytes;
}

QString DecodeLine(const QByteArray &body, ProfileEncoding encoding) {
    switch (encoding) {
    case ProfileEncoding::Latin1:
        return QString::fromLatin1(body);
    case ProfileEncoding::Utf8: {
        // A U+FEFF at the start of a line is text of that line, not a mark to drop.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                         QStringDecoder::Flag::ConvertInitialBom);
        return decoder(body);
    }
    case ProfileEncoding::Utf16Le:
    case ProfileEncoding::Utf16Be:
        break;
    }
    const QByteArray whole = completed(body, encoding);
    QString text(whole.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(unitAt(whole, 2 * i, encoding));
    return text;
}

QByteArray EncodeText(const QString &text, ProfileEncoding encoding) {
    switch (encoding) {
    case ProfileEncoding::Latin1:
        return text.toLatin1();
    case ProfileEncoding::Utf8:
        return text.toUtf8();
    case ProfileEncoding::Utf16Le:
    case ProfileEncoding::Utf16Be:
        break;
    }
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        const char high = static_cast<char>(c.unicode() >> 8);
        const char low = static_cast<char>(c.unicode() & 0xFF);
        bytes.append(encoding == ProfileEncoding::Utf16Le ? low : high);
        bytes.append(encoding == ProfileEncoding::Utf16Le ? high : low);
    }
    return bytes;
}

QByteArray KeyBytes(const QByteArray &line, ProfileEncoding encoding) {
    const int width = unitSize(encoding);
    const QByteArray body = completed(line, encoding);
    const qsizetype units = body.size() / width;
    qsizetype end = 0;
    while (end < units && unitAt(body, end * width, encoding) != u'=')
        ++end;
    qsizetype begin = 0;
    while (begin < end && isAsciiBlank(unitAt(body, begin * width, encoding)))
        ++begin;
    while (end > begin && isAsciiBlank(unitAt(body, (end - 1) * width, encoding)))
        --end;
    return body.mid(begin * width, (end - begin) * width);
}

QByteArray LineEnd(const ProfileFile &file) {
    for (const ProfileLine &line : file.lines) {
        if (!line.end.isEmpty())
            return line.end;
    }
    return EncodeText(QStringLiteral("\r\n"), file.encoding);
}

void TerminateLastLine(ProfileFile &file) {
    if (file.lines.empty() || !file.lines.back().end.isEmpty())
        return;
    ProfileLine &last = file.lines.back();
    // Half a UTF-16 unit is completed, or everything after it would be read out of step.
    last.body = completed(last.body, file.encoding);
    last.end = LineEnd(file);
}

} // namespace platform
