#pragma once
// The code histogram of a record and the Gaussian fitted to it by least squares.

#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

struct GaussianFit {
    bool valid = false;     // false when the counts do not determine a bell (one bin, or no fit)
    double amplitude = 0.0; // counts per bin at the mean
    double mean = 0.0;      // codes
    double sigma = 0.0;     // codes, with the widening by the bin width taken out
};

struct Histogram {
    int32_t firstCode = 0; // lowest code of bin 0
    int32_t binWidth = 1;  // codes per bin
    std::vector<uint32_t> counts;
    GaussianFit fit;

    // Centre of bin i in codes.
    double binCentre(size_t i) const {
        return firstCode + static_cast<double>(i) * binWidth + (binWidth - 1) / 2.0;
    }
};

// One bin per code while the record spans at most maxBins codes, else as many codes per bin as
// keep the bins at or below maxBins. Every sample falls in a bin. Empty for an empty record.
Histogram MakeHistogram(std::span<const int32_t> samples, int maxBins = 256);

// The same bins, empty, for samples from lowest to highest: for a run counted chunk by chunk.
Histogram HistogramLayout(int32_t lowest, int32_t highest, int maxBins = 256);
// Counts samples into the bins; each must lie within the layout's codes (others are left out).
void CountSamples(Histogram &histogram, std::span<const int32_t> samples);

// Least-squares fit of amplitude * exp(-(x - mean)^2 / (2 sigma^2)) to the bin counts at
// their centres (Levenberg-Marquardt from the moments of the histogram).
GaussianFit FitGaussian(const Histogram &histogram);

// The fitted curve at x codes, in counts per bin.
double GaussianAt(const GaussianFit &fit, int32_t binWidth, double x);

} // namespace analysis
