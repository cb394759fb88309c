#pragma once
// The noise figures of a record of conversion codes: what a converter's data sheet quotes for
// its noise (RMS and peak-to-peak, effective and noise-free resolution) and how Gaussian the
// noise is. Plain data in, plain struct out; no Qt.

#include <cstdint>
#include <span>
#include <string>

namespace analysis {

// A 24-bit converter spans 2^24 codes, from kCodeMinimum to kCodeMaximum. A sample at either
// limit may stand for any input beyond it: the converter clipped.
constexpr double kCodeSpan = 16777216.0;
constexpr int32_t kCodeMinimum = -8388608;
constexpr int32_t kCodeMaximum = 8388607;

// The samples at either code limit.
int64_t CountClipped(std::span<const int32_t> samples);

struct NoiseFigures {
    int64_t count = 0;
    double mean = 0.0;   // codes
    double stdDev = 0.0; // codes; RMS about the mean over all samples (divides by the count)
    int32_t minimum = 0;
    int32_t maximum = 0;
    int64_t peakToPeak = 0; // maximum - minimum, codes
    // log2(2^24 / stdDev) and log2(2^24 / peakToPeak); +infinity for a record without noise.
    double effectiveBits = 0.0;
    double noiseFreeBits = 0.0;
    // Third and fourth standardised moments (the latter minus 3); NaN without noise.
    double skewness = 0.0;
    double excessKurtosis = 0.0;
    // Samples at kCodeMinimum or kCodeMaximum: with any, every figure above is in doubt.
    int64_t clipped = 0;

    // A record of one code repeated: there is no noise to measure, and the resolutions are
    // not figures but infinities.
    bool noNoise() const { return count > 0 && peakToPeak == 0; }
};

// All zeros (count 0) for an empty record.
NoiseFigures ComputeNoiseFigures(std::span<const int32_t> samples);

// What the figures of a record without noise say instead of "inf".
inline constexpr const char *kNoNoiseText = "no noise: every code equal";

// "Clipped: N of M samples at the code limits"; empty when no sample was clipped.
std::string ClippedText(int64_t clipped, int64_t count);

} // namespace analysis
