// A capture's CSV file read back: "# name: value" facts, the column header, a line per sample.
// Opening reads it once through (checking every line, noting where every 65536th sample
// starts); a read then seeks to the nearest note and parses from there.

#include "capture_file_format.h"
#include "capture_part.h"

#include <QFile>

#include <charconv>
#include <cmath>

namespace capture {
namespace {
// How often a scan looks whether it was given up: a few milliseconds of parsing.
constexpr uint64_t kCancelLookLines = 4096;

constexpr uint64_t kMarkEvery = 65536;
constexpr qint64 kReadBytes = 1 << 20;

// Lines of a file from an offset, in large reads.
class LineReader {
  public:
    LineReader(QFile &file, qint64 offset) : m_file(file), m_start(offset) { m_file.seek(offset); }
    // The next line without its end; ended is false for a last line without one.
    bool next(QByteArrayView &line, qint64 &offset, bool &ended) {
        for (;;) {
            const qsizetype end = m_buffer.indexOf('\n', m_pos);
            if (end >= 0) {
                qsizetype stop = end;
                if (stop > m_pos && m_buffer[stop - 1] == '\r')
                    --stop;
                line = QByteArrayView(m_buffer.constData() + m_pos, stop - m_pos);
                offset = m_start + m_pos;
                ended = true;
                m_pos = end + 1;
                return true;
            }
            m_buffer.remove(0, m_pos);
            m_start += m_pos;
            m_pos = 0;
            const QByteArray more = m_file.read(kReadBytes);
            if (more.isEmpty()) {
                if (m_buffer.isEmpty())
                    return false;
                line = QByteArrayView(m_buffer);
                offset = m_start;
                ended = false;
                m_pos = m_buffer.size();
                return true;
            }
            m_buffer += more;
        }
    }

  private:
    QFile &m_file;
    qint64 m_start;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
};

struct Columns {
    int count = 0;
    int code = -1;
    int time = -1;
    int index = -1;
};

template <typename T> bool Number(QByteArrayView text, T &value) {
    const char *begin = text.data(), *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    return ec == std::errc() && ptr == end && begin != end;
}

// The fields of a sample line; false with the reason when it is not one.
bool ParseSample(QByteArrayView line, const Columns &columns, int32_t &code, double &time,
                 int64_t &index, QString &why) {
    int field = 0;
    qsizetype from = 0;
    bool ok = true;
    for (qsizetype i = 0; i <= line.size() && ok; ++i) {
        if (i < line.size() && line[i] != ',')
            continue;
        const QByteArrayView text = line.sliced(from, i - from);
        if (field == columns.code)
            ok = Number(text, code) ||
                 (why = QStringLiteral("the code is not a whole number"), false);
        else if (field == columns.time)
            ok = Number(text, time) || (why = QStringLiteral("the time is not a number"), false);
        else if (field == columns.index)
            ok = Number(text, index) || (why = QStringLiteral("the index is not a number"), false);
        ++field;
        from = i + 1;
    }
    if (ok && field != columns.count) {
        why = QStringLiteral("%1 fields where the header names %2").arg(field).arg(columns.count);
        ok = false;
    }
    return ok;
}

class CsvPart : public CapturePart {
  public:
    explicit CsvPart(const QString &path) : m_file(path) { m_path = path; }
    bool scan(QString &error, const std::atomic<bool> *cancel);
    bool hasTimes() const override { return m_columns.time >= 0; }
    bool read(uint64_t first, std::span<int32_t> codes, std::span<double> times) override;

  private:
    bool fact(QByteArrayView line);
    bool header(QByteArrayView line);

    QFile m_file;
    Columns m_columns;
    std::vector<qint64> m_marks; // offset of sample i * kMarkEvery
};

bool CsvPart::fact(QByteArrayView line) {
    const qsizetype colon = line.indexOf(": ");
    if (!line.startsWith("# ") || colon < 0)
        return false;
    const QByteArrayView name = line.sliced(2, colon - 2);
    const QString value = QString::fromUtf8(line.sliced(colon + 2)).trimmed();
    PartFacts &f = m_facts;
    // A figure that is no number reads as NaN, so the checks of the facts refuse it.
    auto number = [&] {
        bool ok = false;
        const double figure = value.toDouble(&ok);
        return ok ? figure : std::nan("");
    };
    // A figure the capture read from registers the chip may not convert with.
    auto guess = [&](double &figure) {
        figure = number();
        f.modeKnown = false;
    };
    if (name == format::kChip)
        f.chip = value;
    else if (name == format::kRegisters) {
        f.registers.clear();
        for (const QString &byte : value.split(u' ', Qt::SkipEmptyParts))
            f.registers.push_back(static_cast<uint8_t>(byte.toUInt(nullptr, 16)));
    } else if (name == format::kReferenceVolts)
        f.referenceVolts = number();
    else if (name == format::kReferenceSource)
        f.referenceSource = value;
    else if (name == format::kMode)
        f.mode = value;
    else if (name == format::kPgaGain)
        f.pgaGain = number();
    else if (name == format::kDataRate) {
        f.dataRateSps = number();
        f.dataRateRecorded = true;
    } else if (name == format::kVoltsPerCode)
        f.voltsPerCode = number();
    else if (name == format::kPgaGainGuess)
        guess(f.pgaGain);
    else if (name == format::kDataRateGuess) {
        guess(f.dataRateSps);
        f.dataRateRecorded = true;
    } else if (name == format::kVoltsPerCodeGuess)
        guess(f.voltsPerCode);
    else if (name == format::kTimeRule)
        f.timeRule = value;
    else if (name == format::kProgramVersion)
        f.programVersion = value;
    else if (name == format::kStartTime)
        f.startTime = value;
    else if (name == format::kBoardIdentity)
        f.boardIdentity = value;
    else if (name == format::kRunStartUtc)
        f.runStartUtc = value;
    else if (name == format::kFileNumber)
        f.fileNumber = value.toInt();
    else if (name == format::kFirstSample)
        f.firstSample = value.toULongLong();
    else if (name == format::kStoppedBy)
        f.stoppedBy = value;
    return true;
}

bool CsvPart::header(QByteArrayView line) {
    int i = 0;
    for (const QByteArray &name : line.toByteArray().split(',')) {
        if (name == format::kCodeColumn)
            m_columns.code = i;
        else if (name == format::kTimeColumn)
            m_columns.time = i;
        else if (name == format::kIndexColumn)
            m_columns.index = i;
        ++i;
    }
    m_columns.count = i;
    return m_columns.code >= 0;
}

bool CsvPart::scan(QString &error, const std::atomic<bool> *cancel) {
    if (!m_file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: cannot be read: %2").arg(m_path, m_file.errorString());
        return false;
    }
    LineReader lines(m_file, 0);
    QByteArrayView line;
    qint64 offset = 0;
    bool ended = true, inHeader = true;
    uint64_t lineNumber = 0;
    while (lines.next(line, offset, ended)) {
        ++lineNumber;
        if (cancel && lineNumber % kCancelLookLines == 0 && cancel->load()) {
            error = QStringLiteral("%1: reading given up").arg(m_path);
            return false;
        }
        if (line.isEmpty())
            continue;
        if (IsCsvGapLine(line)) {
            if (!ended)
                break; // an unfinished last line
            GapRecord gap;
            QString why;
            bool ok = ParseCsvGapLine(line, gap, why);
            if (ok && gap.atSample != m_count) {
                why = QStringLiteral("the gap's %1 is %2 where %3 samples come before it")
                          .arg(QLatin1String(format::kGapAtSample))
                          .arg(gap.atSample)
                          .arg(m_count);
                ok = false;
            }
            if (!ok) {
                error = QStringLiteral("%1: line %2 is broken: %3")
                            .arg(m_path)
                            .arg(lineNumber)
                            .arg(why);
                return false;
            }
            m_gaps.push_back(gap);
            continue;
        }
        if (line.startsWith("#")) {
            fact(line);
            continue;
        }
        if (inHeader) {
            if (!header(line)) {
                error = QStringLiteral("%1: not a capture file (no \"%2\" column after the "
                                       "facts)")
                            .arg(m_path, QLatin1String(format::kCodeColumn));
                return false;
            }
            inHeader = false;
            continue;
        }
        int32_t code = 0;
        double time = 0;
        int64_t index = 0;
        QString why;
        if (!ParseSample(line, m_columns, code, time, index, why)) {
            if (!ended)
                break; // an unfinished last line
            error =
                QStringLiteral("%1: line %2 is broken: %3").arg(m_path).arg(lineNumber).arg(why);
            return false;
        }
        if (!ended)
            break; // complete fields but no line end: it may have been cut inside the last one
        if (m_count % kMarkEvery == 0)
            m_marks.push_back(offset);
        ++m_count;
    }
    if (inHeader) {
        error = QStringLiteral("%1: not a capture file (no column header)").arg(m_path);
        return false;
    }
    return true;
}

bool CsvPart::read(uint64_t first, std::span<int32_t> codes, std::span<double> times) {
    if (first > m_count || codes.size() > m_count - first) {
        m_error = QStringLiteral("%1: read beyond its samples").arg(m_path);
        return false;
    }
    if (codes.empty())
        return true;
    const uint64_t mark = first / kMarkEvery;
    LineReader lines(m_file, m_marks[mark]);
    uint64_t at = mark * kMarkEvery;
    QByteArrayView line;
    qint64 offset = 0;
    bool ended = true;
    size_t filled = 0;
    while (filled < codes.size() && lines.next(line, offset, ended)) {
        if (line.isEmpty() || line.startsWith("#"))
            continue;
        if (at++ < first)
            continue;
        double time = 0;
        int64_t index = 0;
        QString why;
        if (!ParseSample(line, m_columns, codes[filled], time, index, why))
            break;
        if (!times.empty())
            times[filled] = time;
        ++filled;
    }
    if (filled < codes.size()) {
        m_error = QStringLiteral("%1: the samples cannot be read (the file changed?)").arg(m_path);
        return false;
    }
    return true;
}

} // namespace

std::unique_ptr<CapturePart> OpenCsvPart(const QString &path, QString &error,
                                         const std::atomic<bool> *cancel) {
    auto part = std::make_unique<CsvPart>(path);
    if (!part->scan(error, cancel))
        return nullptr;
    return part;
}

std::unique_ptr<CapturePart> OpenCapturePart(const QString &path, QString &error,
                                             const std::atomic<bool> *cancel) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: cannot be read: %2").arg(path, file.errorString());
        return nullptr;
    }
    const QByteArray start = file.read(512);
    file.close();
    if (start.startsWith("\x89HDF\r\n\x1a\n"))
        return OpenHdf5Part(path, error);
    if (start.startsWith("# ") || start.startsWith("index,"))
        return OpenCsvPart(path, error, cancel);
    error =
        QStringLiteral("%1: not a capture file (neither the capture's HDF5 nor its CSV)").arg(path);
    return nullptr;
}

} // namespace capture
