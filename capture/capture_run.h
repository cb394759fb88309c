#pragma once
// A capture read back as one run: a single file, or the parts of a split set given in any
// order. The run is a sample source for the long-run analyses (analysis/sample_source.h):
// its samples are read from the files in pieces, never held whole. Widget-free.
//
// Opening takes two steps. ScanCaptureSet opens every file, orders the parts and finds what
// is wrong (files that are no captures, parts of another capture, a part given twice) and
// what is missing (a part of the numbering whose samples are not there). A set with errors
// does not open; a set with missing parts opens only when the caller accepts the gaps: the
// samples on either side are then separate pieces, and nothing is measured across a gap. A gap
// a file records (the board lost and reopened) is no error: it splits the run into pieces too,
// the run-wide index jumping by the conversions it lost.

#include "capture_part.h"

#include "analysis/sample_source.h"

#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace capture {

// Where samples are missing: run-wide indexes [firstSample, firstSample + count). Either a
// gap a file records (the board was lost and reopened: its conversions were never made into
// samples; when, how long and why are known), or a part of a split set that is not there
// (count 0 for parts missing after the last one given: their length is unknown).
struct RunGap {
    enum class Kind { MissingPart, Recorded };
    Kind kind = Kind::MissingPart;
    uint64_t firstSample = 0;
    uint64_t count = 0;
    // A recorded gap's: on the time_s clock, its length, its start in UTC and its cause.
    double startSeconds = 0.0;
    double lengthSeconds = 0.0;
    QString startUtc;
    QString cause;

    bool recorded() const { return kind == Kind::Recorded; }
};

class CaptureRun : public analysis::SampleSource {
  public:
    explicit CaptureRun(std::vector<std::unique_ptr<CapturePart>> parts);

    // The facts of the first part; stopped_by of the last.
    const PartFacts &facts() const { return m_facts; }
    const std::vector<std::unique_ptr<CapturePart>> &parts() const { return m_parts; }
    // Every gap in run order, recorded ones and missing parts alike: each is a piece boundary.
    const std::vector<RunGap> &gaps() const { return m_gaps; }
    // The gaps the files record, and the missing parts, apart.
    std::vector<RunGap> recordedGaps() const;
    std::vector<RunGap> missingParts() const;
    // Samples per second: from the samples' own times where the files have them (the span of
    // times over the span of run-wide indexes), else the nominal data_rate_sps; 0 unknown.
    double sampleRateHz() const { return m_rate; }
    bool rateFromTimes() const { return m_rateFromTimes; }

    uint64_t count() const override { return m_count; }
    std::vector<analysis::SamplePiece> pieces() const override { return m_pieces; }
    bool hasTimes() const override { return m_hasTimes; }
    bool read(uint64_t first, std::span<int32_t> codes, std::span<double> times) override;
    std::string errorText() const override;

  private:
    void measureRate();
    // Times that are not finite or go back stop the read, naming the file, the sample and the
    // value: a NaN time would make every figure after it NaN.
    bool checkTimes(const CapturePart &part, uint64_t local, uint64_t at,
                    std::span<const double> times);

    std::vector<std::unique_ptr<CapturePart>> m_parts; // in run order
    std::vector<uint64_t> m_partFirst;                 // first held sample of each part
    std::vector<analysis::SamplePiece> m_pieces;
    std::vector<RunGap> m_gaps;
    PartFacts m_facts;
    uint64_t m_count = 0;
    bool m_hasTimes = false;
    double m_rate = 0.0;
    bool m_rateFromTimes = false;
    std::mutex m_mutex; // the window's overview and its analysis read from two threads
    QString m_error;
    struct TimeSeen {
        uint64_t index; // held sample
        double seconds;
    };
    std::optional<TimeSeen> m_lastChecked; // the last sample a read gave a time of
};

// The rates a file may state; one outside is refused. The chips convert at 2.5 SPS and up; a
// rate of 1e-300 would make a run of 1e300 seconds, too long for any duration to say.
inline constexpr double kMinDataRateSps = 1e-3;
inline constexpr double kMaxDataRateSps = 1e6;

struct CaptureSet {
    std::vector<std::unique_ptr<CapturePart>> parts; // in run order
    // "PATH: cause" each; the set does not open. Causes: no capture, an implausible rate or
    // scale, another capture, a part given twice, a part whose rate, scale, gain, reference,
    // registers or mode differ from the first part's.
    QStringList errors;
    QStringList missing; // "PATH: missing ..." each; the set opens only when they are accepted
    std::vector<RunGap> gaps;
};

// cancel (may be null), once set, ends the scan early (see OpenCapturePart).
CaptureSet ScanCaptureSet(const QStringList &paths, const std::atomic<bool> *cancel = nullptr);

// The run of a set without errors; nullptr when it has errors, or missing parts not accepted.
std::unique_ptr<CaptureRun> OpenRun(CaptureSet &&set, bool acceptMissing);

// The other files of the split set a file belongs to, named as the capture numbers them
// (run_0001.h5, run_0002.h5, ... in its folder), itself included, sorted; just the file when
// its name is not numbered so.
QStringList SplitSetFiles(const QString &path);

// The numbered files of the split sets the given files belong to that are in their folders but
// not among them (by whatever name given), in order.
QStringList PartsNotGiven(const QStringList &given);

// True when path names one of the files (the same file, by whatever name): a file written
// there would replace a part of the run.
bool IsOneOfTheFiles(const QString &path, const QStringList &files);

// What stopped_by says, or that the capture never closed the file.
QString StoppedByText(const QString &stoppedBy);

} // namespace capture
