#include "private_profile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <vector>

namespace platform {
namespace {

enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Latin1 };

struct Line {
    QString text;
    QString end; // the line's own terminator: "\r\n", "\n", "\r" or empty for the last line
};

struct Document {
    Encoding encoding = Encoding::Utf8;
    std::vector<Line> lines;
};

QString decode(const QByteArray &bytes, Encoding &encoding) {
    auto startsWith = [&bytes](const char *bom, int size) {
        return bytes.size() >= size && bytes.startsWith(QByteArray(bom, size));
    };
    if (startsWith("\xFF\xFE", 2)) {
        encoding = Encoding::Utf16Le;
        return QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
    }
    if (startsWith("\xFE\xFF", 2)) {
        encoding = Encoding::Utf16Be;
        return QStringDecoder(QStringDecoder::Utf16BE)(bytes.mid(2));
    }
    if (startsWith("\xEF\xBB\xBF", 3)) {
        encoding = Encoding::Utf8Bom;
        return QStringDecoder(QStringDecoder::Utf8)(bytes.mid(3));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        encoding = Encoding::Utf8;
        return text;
    }
    // A file from a Windows code page: Latin-1 keeps every byte, so untouched lines go back
    // exactly as they came.
    encoding = Encoding::Latin1;
    return QString::fromLatin1(bytes);
}

QByteArray encode(const QString &text, Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf16Le:
        return QByteArray("\xFF\xFE", 2) +
               QByteArray(QStringEncoder(QStringEncoder::Utf16LE)(text));
    case Encoding::Utf16Be:
        return QByteArray("\xFE\xFF", 2) +
               QByteArray(QStringEncoder(QStringEncoder::Utf16BE)(text));
    case Encoding::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case Encoding::Latin1:
        return text.toLatin1();
    case Encoding::Utf8:
        break;
    }
    return text.toUtf8();
}

Document parse(const QString &text, Encoding encoding) {
    Document document;
    document.encoding = encoding;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        const bool crlf = c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n';
        document.lines.push_back(
            {text.mid(start, i - start), crlf ? QStringLiteral("\r\n") : QString(c)});
        if (crlf)
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        document.lines.push_back({text.mid(start), QString()});
    return document;
}

// Section name of a "[name]" line, or a null string for any other line.
QString sectionName(const QString &line) {
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'['))
        return QString();
    const qsizetype close = trimmed.indexOf(u']');
    const QString name = close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1);
    return name.trimmed().isNull() ? QStringLiteral("") : name.trimmed();
}

// The key of a "key=value" line (the whole line when there is no "="), trimmed.
QString keyName(const QString &line) {
    const qsizetype equals = line.indexOf(u'=');
    return (equals < 0 ? line : line.left(equals)).trimmed();
}

QString valueOf(const QString &line) {
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return QString();
    QString value = line.mid(equals + 1).trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

bool sameName(const QString &a, const QString &b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

struct Position {
    qsizetype section = -1; // line index of the section header
    qsizetype end = -1;     // one past the section's last line
    qsizetype key = -1;     // line index of the key, -1 when missing
};

Position find(const Document &document, const QString &section, const QString &key) {
    Position position;
    const qsizetype count = static_cast<qsizetype>(document.lines.size());
    for (qsizetype i = 0; i < count; ++i) {
        const QString name = sectionName(document.lines[i].text);
        if (name.isNull() || !sameName(name, section))
            continue;
        position.section = i;
        position.end = count;
        for (qsizetype j = i + 1; j < count; ++j) {
            const QString &text = document.lines[j].text;
            if (!sectionName(text).isNull()) {
                position.end = j;
                break;
            }
            if (position.key < 0 && !text.trimmed().isEmpty() && sameName(keyName(text), key))
                position.key = j;
        }
        break;
    }
    return position;
}

bool load(const QString &path, Document &document) {
    QFile file(path);
    if (!file.exists()) {
        document = Document();
        return true;
    }
    if (!file.open(QIODevice::ReadOnly))
        return false;
    Encoding encoding = Encoding::Utf8;
    const QString text = decode(file.readAll(), encoding);
    document = parse(text, encoding);
    return true;
}

QString lineEnd(const Document &document) {
    for (const Line &line : document.lines) {
        if (!line.end.isEmpty())
            return line.end;
    }
    return QStringLiteral("\r\n");
}

void insertLine(Document &document, qsizetype at, const QString &text) {
    const QString end = lineEnd(document);
    if (at > 0 && document.lines[at - 1].end.isEmpty())
        document.lines[at - 1].end = end;
    document.lines.insert(document.lines.begin() + at, Line{text, end});
}

} // namespace

QString ReadProfileString(const QString &section, const QString &key, const QString &defaultValue,
                          const QString &path, int bufferSize) {
    Document document;
    if (!load(path, document))
        return defaultValue;
    const Position position = find(document, section, key);
    QString value = position.key < 0 ? defaultValue : valueOf(document.lines[position.key].text);
    if (bufferSize > 0 && value.size() > bufferSize - 1)
        value.truncate(bufferSize - 1);
    return value;
}

bool WriteProfileString(const QString &section, const QString &key, const QString &value,
                        const QString &path) {
    Document document;
    if (!load(path, document))
        return false;
    const Position position = find(document, section, key);
    if (position.key >= 0) {
        Line &line = document.lines[position.key];
        line.text = keyName(line.text) + u'=' + value;
    } else if (position.section >= 0) {
        // After the section's last entry, so blank lines before the next section stay there.
        qsizetype at = position.end;
        while (at > position.section + 1 && document.lines[at - 1].text.trimmed().isEmpty())
            --at;
        insertLine(document, at, key + u'=' + value);
    } else {
        const qsizetype at = static_cast<qsizetype>(document.lines.size());
        insertLine(document, at, u'[' + section + u']');
        insertLine(document, at + 1, key + u'=' + value);
    }

    QString text;
    for (const Line &line : document.lines)
        text += line.text + line.end;
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = encode(text, document.encoding);
    return file.write(bytes) == bytes.size() && file.commit();
}

} // namespace platform
