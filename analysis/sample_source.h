#pragma once
// Where the long-run analyses take their samples from: a source that hands out codes (and
// their times) piece by piece, so that a run of a hundred million samples is read in chunks
// and never held whole. A capture file behind it, or codes already in memory.

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace analysis {

// A stretch of samples without a gap. first counts the samples the source holds; runFirst is
// the run-wide index of the same sample, which jumps over a gap (a missing part of a split set).
struct SamplePiece {
    uint64_t first = 0;
    uint64_t count = 0;
    uint64_t runFirst = 0;
};

class SampleSource {
  public:
    virtual ~SampleSource() = default;

    // Samples held, over all pieces.
    virtual uint64_t count() const = 0;
    // The pieces in order; one piece for a run without gaps.
    virtual std::vector<SamplePiece> pieces() const = 0;
    // Whether read() gives each sample's own time (else times are run-wide index / rate).
    virtual bool hasTimes() const = 0;
    // The codes of samples first .. first + codes.size() and, when times is not empty (it then
    // has the same size), their seconds since the run's start. False on a read error.
    virtual bool read(uint64_t first, std::span<int32_t> codes, std::span<double> times) = 0;
    // Why the last read failed.
    virtual std::string errorText() const = 0;
};

// Codes already in memory, one piece, times from the index and the rate. Given gaps, the
// pieces between them (each gap: where the samples after it begin among the codes, and the
// conversions it lost), the run-wide index jumping by the lost ones.
struct MemoryGap {
    uint64_t at = 0;
    uint64_t lost = 0;
};

class MemorySource : public SampleSource {
  public:
    MemorySource(std::span<const int32_t> codes, double sampleRateHz,
                 std::span<const MemoryGap> gaps = {});
    uint64_t count() const override { return m_codes.size(); }
    std::vector<SamplePiece> pieces() const override;
    bool hasTimes() const override { return false; }
    bool read(uint64_t first, std::span<int32_t> codes, std::span<double> times) override;
    std::string errorText() const override { return "read beyond the samples"; }

  private:
    std::span<const int32_t> m_codes;
    double m_rate;
    std::vector<SamplePiece> m_pieces;
};

// Samples read per call when a whole run is walked.
constexpr size_t kReadChunk = 1 << 18;

// A sample's time in seconds: its own (from the source) or run-wide index over the rate.
inline double IndexTime(uint64_t runIndex, double sampleRateHz) {
    return static_cast<double>(runIndex) / sampleRateHz;
}

// Walks samples [first, first + count) of one piece in chunks: visit(firstInChunk, codes,
// times) with times filled (from the source, or from the run-wide index and rate) when
// wantTimes. False, with the source's error, when a read fails or visit returns false.
template <typename Visit>
bool WalkPiece(SampleSource &source, const SamplePiece &piece, uint64_t first, uint64_t count,
               bool wantTimes, double sampleRateHz, Visit &&visit) {
    std::vector<int32_t> codes(static_cast<size_t>(std::min<uint64_t>(count, kReadChunk)));
    std::vector<double> times(wantTimes ? codes.size() : 0);
    const bool ownTimes = wantTimes && source.hasTimes();
    for (uint64_t done = 0; done < count;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(count - done, kReadChunk));
        const std::span<int32_t> c(codes.data(), n);
        const std::span<double> t(times.data(), wantTimes ? n : 0);
        if (!source.read(first + done, c, ownTimes ? t : std::span<double>()))
            return false;
        if (wantTimes && !ownTimes) {
            const uint64_t run = piece.runFirst + (first + done - piece.first);
            for (size_t i = 0; i < n; ++i)
                t[i] = IndexTime(run + i, sampleRateHz);
        }
        if (!visit(first + done, std::span<const int32_t>(c), std::span<const double>(t)))
            return false;
        done += n;
    }
    return true;
}

} // namespace analysis
