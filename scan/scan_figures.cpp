#include "scan_figures.h"

#include <cmath>
#include <limits>

namespace scan {
namespace {
double sampleSpread(const std::vector<double> &values, double mean) {
    if (values.size() < 2)
        return 0.0;
    double sum = 0.0;
    for (double v : values)
        sum += (v - mean) * (v - mean);
    return std::sqrt(sum / static_cast<double>(values.size() - 1));
}
} // namespace

RowFigures SummarizeRow(const ScanRow &row) {
    RowFigures f;
    f.repeats = static_cast<int>(row.repeats.size());
    if (f.repeats == 0)
        return f;
    std::vector<double> means, stdDevs;
    int withNoise = 0;
    for (const analysis::NoiseFigures &r : row.repeats) {
        f.samples += r.count;
        f.clipped += r.clipped;
        f.mean += r.mean;
        f.stdDev += r.stdDev;
        f.peakToPeak += static_cast<double>(r.peakToPeak);
        f.minimum += r.minimum;
        f.maximum += r.maximum;
        // A repeat without noise has infinite resolutions: they average over the others.
        if (!r.noNoise()) {
            f.effectiveBits += r.effectiveBits;
            f.noiseFreeBits += r.noiseFreeBits;
            ++withNoise;
        }
        means.push_back(r.mean);
        stdDevs.push_back(r.stdDev);
    }
    const double n = f.repeats;
    for (double *mean : {&f.mean, &f.stdDev, &f.peakToPeak, &f.minimum, &f.maximum})
        *mean /= n;
    f.noNoise = withNoise == 0;
    if (f.noNoise) {
        f.effectiveBits = f.noiseFreeBits = std::numeric_limits<double>::infinity();
    } else {
        f.effectiveBits /= withNoise;
        f.noiseFreeBits /= withNoise;
    }
    f.meanSpread = sampleSpread(means, f.mean);
    f.stdDevSpread = sampleSpread(stdDevs, f.stdDev);
    return f;
}

double ScanVoltsPerCode(const conversion::ConversionFacts &facts) {
    return conversion::ClaimedVoltsPerCode(facts);
}

} // namespace scan
