#pragma once
// The overlapping Allan deviation of a long run, in codes, read in one pass from a sample
// source. Each sample is taken as the mean over its sample period (as a frequency counter's
// reading is), so white noise of sigma gives sigma / sqrt(tau * fs).
//
// For an averaging factor m (tau = m / fs, m = 1, 2, 4, ... up to a third of the run) the
// Allan variance is the mean over starts j of (S[j+2m] - 2 S[j+m] + S[j])^2 / (2 m^2), S the
// running sum of the samples (baseline taken out). Up to m = 8192 every start is used (the
// running sums of each chunk with the 2 x 8192 before it). Beyond, the starts are m / 256 samples
// apart, taken from the running sum kept at every 64th sample (an eighth of the codes' size in
// memory): the terms of nearby starts are nearly the same, so the estimate's spread is that of the
// full overlap. Terms never span a gap.
//
// Error bars: the equivalent degrees of freedom of the overlapping estimate for white noise
// (Howe, Allan and Barnes, 1981): edf = (3 (N - 1) / (2 m) - 2 (N - 2) / N) * 4 m^2 / (4 m^2 + 5),
// N the sample count plus one (summed over the pieces of a run with gaps), at least 1; the
// interval is the chi-square one at 68.3 % (Wilson-Hilferty), adev * sqrt(edf / chi2(edf, p))
// for p = 0.8415 and 0.1585. Where 1/f or drift rules, the true interval is somewhat wider.

#include "analysis/drift_line.h"
#include "analysis/sample_source.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace analysis {

struct AllanPoint {
    uint64_t m = 0;     // samples averaged
    double tau = 0.0;   // seconds
    double adev = 0.0;  // codes
    uint64_t terms = 0; // differences averaged
    double edf = 0.0;   // equivalent degrees of freedom
    double low = 0.0;   // 68 % interval, codes
    double high = 0.0;
};

struct AllanDeviation {
    std::vector<AllanPoint> points;
    // a / sqrt(tau) through the first points (up to three; a = their mean of adev * sqrt(tau)
    // in logs): the white-noise line; 0 without points.
    double whiteCoefficient = 0.0;
    double whiteAt(double tau) const { return whiteCoefficient / std::sqrt(tau); }
};

// nullopt when a read fails (error says why) or cancel is set.
std::optional<AllanDeviation> ComputeAllanDeviation(SampleSource &source, double sampleRateHz,
                                                    const Baseline &baseline, std::string &error,
                                                    const std::atomic<bool> *cancel = nullptr);

// Where the curve has its floor. The lowest point of a run is often its last one, read from a
// handful of terms while the curve still falls: that is no floor. A floor is the lowest of the
// points with at least kFloorEdf degrees of freedom, with at least two such points on each side.
constexpr double kFloorEdf = 10.0;
struct AllanFloor {
    enum class Kind {
        Floor,         // points[index] is the floor
        StillFalling,  // the lowest trusted point is among the last two: points[index]
        LowestAtStart, // the lowest trusted point is among the first two: points[index]
        TooFewDegrees, // no point has kFloorEdf degrees of freedom
    };
    Kind kind = Kind::TooFewDegrees;
    size_t index = 0;
};
AllanFloor FindAllanFloor(const AllanDeviation &allan);

// The equivalent degrees of freedom above for samples samples at factor m.
double AllanEdf(uint64_t samples, uint64_t m);

// The chi-square quantile (Wilson-Hilferty) for edf degrees of freedom at the normal z.
double ChiSquareQuantile(double edf, double z);

} // namespace analysis
