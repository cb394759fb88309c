#include "profile_text.h"

#include "profile_lines.h"

namespace platform {
namespace {

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

std::vector<QString> decodeAll(const ProfileFile &file) {
    std::vector<QString> texts;
    texts.reserve(file.lines.size());
    for (const ProfileLine &line : file.lines)
        texts.push_back(DecodeLine(line.body, file.encoding));
    return texts;
}

Position find(const std::vector<QString> &texts, const QString &section, const QString &key) {
    Position position;
    const qsizetype count = static_cast<qsizetype>(texts.size());
    for (qsizetype i = 0; i < count; ++i) {
        const QString name = sectionName(texts[i]);
        if (name.isNull() || !sameName(name, section))
            continue;
        position.section = i;
        position.end = count;
        for (qsizetype j = i + 1; j < count; ++j) {
            if (!sectionName(texts[j]).isNull()) {
                position.end = j;
                break;
            }
            if (position.key < 0 && !texts[j].trimmed().isEmpty() &&
                sameName(keyName(texts[j]), key))
                position.key = j;
        }
        break;
    }
    return position;
}

void insertLine(ProfileFile &file, qsizetype at, const QByteArray &body) {
    // Only the last line can lack a line end.
    if (at == static_cast<qsizetype>(file.lines.size()))
        TerminateLastLine(file);
    file.lines.insert(file.lines.begin() + at, ProfileLine{body, LineEnd(file)});
}

// The file with the value set, new text in the given encoding.
QByteArray withValue(ProfileFile file, const std::vector<QString> &texts, const QString &section,
                     const QString &key, const QString &value, ProfileEncoding encoding) {
    const Position position = find(texts, section, key);
    if (position.key >= 0) {
        ProfileLine &line = file.lines[static_cast<size_t>(position.key)];
        line.body = KeyBytes(line.body, file.encoding) + EncodeText(u'=' + value, encoding);
    } else if (position.section >= 0) {
        // After the section's last entry, so blank lines before the next section stay there.
        qsizetype at = position.end;
        while (at > position.section + 1 && texts[static_cast<size_t>(at - 1)].trimmed().isEmpty())
            --at;
        insertLine(file, at, EncodeText(key + u'=' + value, encoding));
    } else {
        const qsizetype at = static_cast<qsizetype>(file.lines.size());
        insertLine(file, at, EncodeText(u'[' + section + u']', encoding));
        insertLine(file, at + 1, EncodeText(key + u'=' + value, encoding));
    }
    return JoinProfile(file);
}

bool hasLineBreak(const QString &text) {
    return text.contains(u'\r') || text.contains(u'\n');
}

} // namespace

QString ProfileValue(const QByteArray &bytes, const QString &section, const QString &key,
                     const QString &defaultValue, int bufferSize) {
    const ProfileFile file = SplitProfile(bytes);
    const std::vector<QString> texts = decodeAll(file);
    const Position position = find(texts, section, key);
    QString value =
        position.key < 0 ? defaultValue : valueOf(texts[static_cast<size_t>(position.key)]);
    if (bufferSize > 0 && value.size() > bufferSize - 1)
        value.truncate(bufferSize - 1);
    return value;
}

std::optional<QByteArray> WithProfileValue(const QByteArray &bytes, const QString &section,
                                           const QString &key, const QString &value) {
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return std::nullopt;
    const ProfileFile file = SplitProfile(bytes);
    const std::vector<QString> texts = decodeAll(file);
    const QByteArray result = withValue(file, texts, section, key, value, file.encoding);
    // A code-page file whose only bytes that are not UTF-8 were in the replaced line reads as
    // UTF-8 from now on: the new text goes in as UTF-8 too, so it reads back as written.
    if (file.encoding == ProfileEncoding::Latin1 &&
        SplitProfile(result).encoding == ProfileEncoding::Utf8)
        return withValue(file, texts, section, key, value, ProfileEncoding::Utf8);
    return result;
}

} // namespace platform
