#pragma once
// The CSV file of a capture: "# name: value" lines with the facts of the HDF5 attributes and
// the time rule, the header "index,time_s,code,volts", one line per sample (run-wide index,
// seconds since the capture started by the arrival rule, the code, the code in volts: empty
// when the scale is unknown), and a last "# stopped_by: ..." line when the capture closes the
// file; a "# gap: ..." line where a gap falls (gap_record.h). Each piece is written and synced
// whole, or cut back off.

#include "capture_writer.h"

#include <QByteArray>
#include <QFile>

namespace capture {

// The lines of one piece, as the file holds them.
QByteArray CsvBlockLines(uint64_t firstSample, std::span<const int32_t> codes,
                         std::span<const double> sampleSeconds, double voltsPerCode);
// The "# name: value" lines and the header.
QByteArray CsvHeader(const CaptureFacts &facts, const FilePart &part);

class CsvWriter : public CaptureWriter {
  public:
    bool create(const QString &path, const CaptureFacts &facts, const FilePart &part,
                bool replace) override;
    bool appendPiece(uint64_t firstSample, std::span<const int32_t> codes,
                     std::span<const double> sampleSeconds, const BlockStamp *endsBlock) override;
    bool writeGap(const GapRecord &gap) override;
    bool finish(const QString &stoppedBy) override;
    uint64_t fileBytes() const override { return m_bytes; }
    platform::FileError error() const override { return m_error; }

  private:
    bool writeDurably(const QByteArray &bytes);

    QFile m_file;
    platform::FileError m_error;
    double m_voltsPerCode = 0.0;
    uint64_t m_bytes = 0;
};

} // namespace capture
