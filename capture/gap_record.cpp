#include "gap_record.h"

#include "capture_file_format.h"

#include <QList>

#include <cmath>
#include <iterator>

namespace capture {
namespace {

constexpr QByteArrayView kGapPrefix = "# gap: ";

QByteArray Field(const char *name) {
    return QByteArray(name) + '=';
}

} // namespace

uint64_t LostConversions(double lengthSeconds, double rateSps) {
    const double lost = lengthSeconds * rateSps;
    if (!(lost > 0) || !std::isfinite(lost))
        return 0;
    return static_cast<uint64_t>(std::llround(lost));
}

QByteArray CsvGapLine(const GapRecord &gap) {
    QString cause = gap.cause;
    cause.replace(u'\r', u' ').replace(u'\n', u' ');
    QByteArray line(kGapPrefix.data(), kGapPrefix.size());
    line += Field(format::kGapAtSample) + QByteArray::number(qulonglong(gap.atSample)) + ' ';
    line += Field(format::kGapLost) + QByteArray::number(qulonglong(gap.lost)) + ' ';
    line += Field(format::kGapStart) + QByteArray::number(gap.startSeconds, 'f', 6) + ' ';
    line += Field(format::kGapLength) + QByteArray::number(gap.lengthSeconds, 'f', 6) + ' ';
    line += Field(format::kGapStartUtc) + gap.startUtc.toUtf8() + ' ';
    line += Field(format::kGapCause) + cause.toUtf8() + '\n';
    return line;
}

bool IsCsvGapLine(QByteArrayView line) {
    return line.startsWith(kGapPrefix);
}

bool ParseCsvGapLine(QByteArrayView line, GapRecord &gap, QString &why) {
    if (!IsCsvGapLine(line)) {
        why = QStringLiteral("not a gap line");
        return false;
    }
    QByteArrayView rest = line.sliced(kGapPrefix.size());
    // The cause runs to the line's end, spaces and all; the fields before it hold none.
    const QByteArray causeField = ' ' + Field(format::kGapCause);
    const qsizetype causeAt = (' ' + rest.toByteArray()).indexOf(causeField);
    if (causeAt < 0) {
        why = QStringLiteral("the gap has no %1").arg(QLatin1String(format::kGapCause));
        return false;
    }
    gap = GapRecord();
    gap.cause = QString::fromUtf8(rest.sliced(causeAt + causeField.size() - 1));
    const QList<QByteArray> fields =
        rest.first(std::max<qsizetype>(causeAt - 1, 0)).toByteArray().split(' ');
    // The four numbers each line must have; start_utc may be empty.
    const struct {
        const char *name;
        uint64_t *count;
        double *number;
    } numbers[] = {{format::kGapAtSample, &gap.atSample, nullptr},
                   {format::kGapLost, &gap.lost, nullptr},
                   {format::kGapStart, nullptr, &gap.startSeconds},
                   {format::kGapLength, nullptr, &gap.lengthSeconds}};
    bool seen[std::size(numbers)] = {};
    for (const QByteArray &field : fields) {
        const qsizetype equals = field.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray name = field.first(equals), value = field.sliced(equals + 1);
        if (name == format::kGapStartUtc) {
            gap.startUtc = QString::fromUtf8(value);
            continue;
        }
        for (size_t i = 0; i < std::size(numbers); ++i) {
            if (name != numbers[i].name)
                continue;
            bool ok = false;
            if (numbers[i].count)
                *numbers[i].count = value.toULongLong(&ok);
            else
                *numbers[i].number = value.toDouble(&ok);
            if (!ok) {
                why = QStringLiteral("the gap's %1 is \"%2\", not a number")
                          .arg(QString::fromUtf8(name), QString::fromUtf8(value));
                return false;
            }
            seen[i] = true;
        }
    }
    for (size_t i = 0; i < std::size(numbers); ++i) {
        if (!seen[i]) {
            why = QStringLiteral("the gap has no %1").arg(QLatin1String(numbers[i].name));
            return false;
        }
    }
    if (!std::isfinite(gap.startSeconds) || !std::isfinite(gap.lengthSeconds) ||
        gap.lengthSeconds < 0) {
        why = QStringLiteral("the gap's times are not finite");
        return false;
    }
    return true;
}

} // namespace capture
