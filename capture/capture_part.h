#pragma once
// One file of a capture, opened for reading: its facts and its complete samples, read in
// pieces. HDF5 and CSV behind one small interface (capture_file_format.h says what each
// relies on). Widget-free.

#include "gap_record.h"

#include "conversion/conversion_facts.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace capture {

// What a file says of itself; numbers 0 and strings empty where it does not say.
struct PartFacts {
    QString chip;
    std::vector<uint8_t> registers;
    double referenceVolts = 0.0;
    QString referenceSource; // "given" or "default"
    QString mode;            // the chip's mode, on a chip with modes
    // As the file records them. Where the capture did not know the mode (modeKnown false) they
    // are guesses from the registers: kept to be shown as such, never used for volts or time.
    double pgaGain = 0.0;
    double dataRateSps = 0.0;
    double voltsPerCode = 0.0;
    bool modeKnown = true;
    bool dataRateRecorded = false; // the file names a rate (or its guess), whatever its value
    QString programVersion;
    QString startTime;
    QString boardIdentity; // which board; empty in files written before it was recorded
    QString runStartUtc;   // the instant time_s counts from, UTC; empty likewise
    QString timeRule;      // how the samples' times were taken
    QString stoppedBy;     // empty when the capture never closed the file (killed, crashed)
    int fileNumber = 1;
    uint64_t firstSample = 0; // run-wide index of the file's first sample

    // What the figures may be given in: 0 where unknown or only a guess.
    double claimedVoltsPerCode() const { return modeKnown ? voltsPerCode : 0.0; }
    double claimedDataRateSps() const { return modeKnown ? dataRateSps : 0.0; }
};

// The conversion facts as the file records them (the capture's ConversionRecord read back):
// reference and its source ("given", else default), mode, gain, rate and volts per code, and
// whether the mode was known. What the file does not say stays 0 or empty.
conversion::ConversionFacts RecordedConversion(const PartFacts &facts);

class CapturePart {
  public:
    virtual ~CapturePart() = default;
    const QString &path() const { return m_path; }
    const PartFacts &facts() const { return m_facts; }
    // Complete samples: of the pieces written whole (HDF5 with times; complete blocks without),
    // complete lines for CSV.
    uint64_t count() const { return m_count; }
    virtual bool hasTimes() const = 0;
    // The gaps the file records, in order, each within its complete samples (at_sample at most
    // count()); none for a file without them.
    const std::vector<GapRecord> &gaps() const { return m_gaps; }
    // Conversions lost in this file's gaps: the run-wide index after its last sample is
    // first_sample + count() + lost().
    uint64_t lost() const;
    // Samples first .. first + codes.size() of this file; times too when not empty.
    virtual bool read(uint64_t first, std::span<int32_t> codes, std::span<double> times) = 0;
    // "PATH: reason" after a failed read.
    QString errorText() const { return m_error; }

  protected:
    QString m_path;
    PartFacts m_facts;
    uint64_t m_count = 0;
    std::vector<GapRecord> m_gaps;
    QString m_error;
};

// Opens a capture file of either format, told apart by content. nullptr with error set to
// "PATH: cause" for a file that cannot be read or is not a capture. cancel (may be null), once
// set, gives a CSV file's scan up within a few thousand lines: a window that opens another
// file meanwhile never waits for a multi-gigabyte parse.
std::unique_ptr<CapturePart> OpenCapturePart(const QString &path, QString &error,
                                             const std::atomic<bool> *cancel = nullptr);

std::unique_ptr<CapturePart> OpenHdf5Part(const QString &path, QString &error);
std::unique_ptr<CapturePart> OpenCsvPart(const QString &path, QString &error,
                                         const std::atomic<bool> *cancel = nullptr);

} // namespace capture
