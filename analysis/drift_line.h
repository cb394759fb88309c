#pragma once
// The drift of a long run: the least-squares line through its codes against time, and the
// baseline the other analyses take out of each sample (the run's mean, or that line).

#include "analysis/sample_source.h"

#include <cstdint>
#include <optional>
#include <span>

namespace analysis {

struct DriftLine {
    uint64_t count = 0;
    double meanCodes = 0.0;   // of all samples
    double meanSeconds = 0.0; // the line passes through (meanSeconds, meanCodes)
    double slopeCodesPerSecond = 0.0;
    // The slope's standard error: the straight-line regression's, which assumes independent
    // residuals, from DriftAccumulator; SummarizeRun replaces it by the one for the noise the
    // run has (drift_error.h), which 1/f noise and random walks make far larger.
    double slopeErrorCodesPerSecond = 0.0;
    double residualRmsCodes = 0.0; // RMS of the samples about the line (divides by the count)
    double firstSeconds = 0.0;
    double lastSeconds = 0.0;

    double at(double seconds) const {
        return meanCodes + slopeCodesPerSecond * (seconds - meanSeconds);
    }
};

// Sums over samples for the line, kept about a fixed origin (the first sample) so that a
// hundred million of them lose nothing to rounding.
class DriftAccumulator {
  public:
    void add(std::span<const int32_t> codes, std::span<const double> seconds);
    // One point of any value (a block's mean, say).
    void add(double seconds, double value);
    DriftLine line() const;
    // RMS of the samples about their mean (divides by the count).
    double rmsAboutMean() const;

  private:
    bool m_started = false;
    double m_t0 = 0.0, m_x0 = 0.0;
    long double m_n = 0, m_st = 0, m_sx = 0, m_stt = 0, m_stx = 0, m_sxx = 0;
    double m_first = 0.0, m_last = 0.0;
};

// What the analyses take out of each sample before they look at it: the run's mean, or with
// detrending the drift line (which needs each sample's time).
struct Baseline {
    double meanCodes = 0.0;
    std::optional<DriftLine> line;

    bool needsTimes() const { return line.has_value(); }
    double at(double seconds) const { return line ? line->at(seconds) : meanCodes; }
};

// Drift in microvolts per hour from codes per second.
inline double MicrovoltsPerHour(double codesPerSecond, double voltsPerCode) {
    return codesPerSecond * voltsPerCode * 3600.0 * 1e6;
}

} // namespace analysis
