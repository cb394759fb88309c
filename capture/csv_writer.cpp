#include "csv_writer.h"

#include "analysis/sample_times.h"
#include "capture_facts.h"
#include "capture_file_format.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <unistd.h>

namespace capture {
namespace {

void AppendNumber(QByteArray &out, int64_t value) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, end - text);
}

void AppendFixed(QByteArray &out, double value, const char *format) {
    char text[40];
    const int n = std::snprintf(text, sizeof text, format, value);
    out.append(text, n);
}

QByteArray Fact(const char *name, const QString &value) {
    return QByteArray("# ") + name + ": " + value.toUtf8() + "\n";
}

QByteArray Fact(const char *name, double value) {
    return Fact(name, QString::number(value, 'g', 12));
}

// 0, or the errno of the write that fell short: QFile tells no cause for a write that stops
// part of the way (a file-size limit, a full disk), only "Unknown error".
int WriteAll(int fd, const QByteArray &bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}

} // namespace

QByteArray CsvHeader(const CaptureFacts &facts, const FilePart &part) {
    QByteArray header;
    header += Fact(format::kChip, facts.chipName);
    QStringList registers;
    for (uint8_t value : facts.registers)
        registers << QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    header += Fact(format::kRegisters, registers.join(u' '));
    for (const RecordedFact &fact : ConversionRecord(facts.conversion))
        header += std::visit([&](const auto &value) { return Fact(fact.name, value); }, fact.value);
    header += Fact(format::kProgramVersion, facts.programVersion);
    header += Fact(format::kStartTime, facts.startTime);
    header += Fact(format::kBoardIdentity, facts.boardIdentity);
    header += Fact(format::kRunStartUtc, facts.runStartUtc);
    header += Fact(format::kFileNumber, QString::number(part.number));
    header += Fact(format::kFirstSample, QString::number(part.firstSample));
    header += Fact(format::kTimeRule, QString::fromLatin1(analysis::kArrivalTimeRule));
    header += "index,time_s,code,volts\n";
    return header;
}

QByteArray CsvBlockLines(uint64_t firstSample, std::span<const int32_t> codes,
                         std::span<const double> sampleSeconds, double voltsPerCode) {
    QByteArray lines;
    lines.reserve(static_cast<qsizetype>(codes.size()) * 40);
    for (size_t i = 0; i < codes.size(); ++i) {
        AppendNumber(lines, static_cast<int64_t>(firstSample + i));
        lines += ',';
        AppendFixed(lines, i < sampleSeconds.size() ? sampleSeconds[i] : 0.0, "%.6f");
        lines += ',';
        AppendNumber(lines, codes[i]);
        lines += ',';
        if (voltsPerCode > 0)
            AppendFixed(lines, codes[i] * voltsPerCode, "%.9g");
        lines += '\n';
    }
    return lines;
}

bool CsvWriter::create(const QString &path, const CaptureFacts &facts, const FilePart &part,
                       bool replace) {
    if (m_file.isOpen())
        m_file.close();
    m_file.setFileName(path);
    // A guessed gain gives no volts column.
    m_voltsPerCode = conversion::ClaimedVoltsPerCode(facts.conversion);
    m_bytes = 0;
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered |
                                     (replace ? QIODevice::Truncate : QIODevice::NewOnly);
    if (!m_file.open(mode)) {
        m_error = {path, m_file.exists() && !replace ? QStringLiteral("the file exists")
                                                     : m_file.errorString()};
        return false;
    }
    return writeDurably(CsvHeader(facts, part));
}

bool CsvWriter::writeDurably(const QByteArray &bytes) {
    int cause = WriteAll(m_file.handle(), bytes);
    if (cause == 0 && fsync(m_file.handle()) != 0)
        cause = errno;
    if (cause != 0) {
        m_error = {m_file.fileName(), qt_error_string(cause)};
        // A block is in the file whole or not at all: a reader never meets half a line.
        if (ftruncate(m_file.handle(), static_cast<off_t>(m_bytes)) == 0)
            fsync(m_file.handle());
        return false;
    }
    m_bytes += static_cast<uint64_t>(bytes.size());
    return true;
}

bool CsvWriter::appendPiece(uint64_t firstSample, std::span<const int32_t> codes,
                            std::span<const double> sampleSeconds, const BlockStamp *) {
    if (!m_file.isOpen()) {
        m_error = {m_file.fileName(), QStringLiteral("the file is not open")};
        return false;
    }
    if (codes.empty())
        return true;
    return writeDurably(CsvBlockLines(firstSample, codes, sampleSeconds, m_voltsPerCode));
}

bool CsvWriter::writeGap(const GapRecord &gap) {
    if (!m_file.isOpen()) {
        m_error = {m_file.fileName(), QStringLiteral("the file is not open")};
        return false;
    }
    return writeDurably(CsvGapLine(gap));
}

bool CsvWriter::finish(const QString &stoppedBy) {
    if (!m_file.isOpen())
        return true;
    const bool ok = writeDurably(Fact(format::kStoppedBy, stoppedBy));
    m_file.close();
    return ok;
}

} // namespace capture
