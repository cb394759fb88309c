#include "analysis/noise_figures.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

NoiseFigures ComputeNoiseFigures(std::span<const int32_t> samples) {
    NoiseFigures f;
    if (samples.empty())
        return f;
    f.count = static_cast<int64_t>(samples.size());
    const auto [lo, hi] = std::minmax_element(samples.begin(), samples.end());
    f.minimum = *lo;
    f.maximum = *hi;
    f.peakToPeak = static_cast<int64_t>(f.maximum) - f.minimum;
    f.clipped = CountClipped(samples);

    // Exact integer sum for the mean, then central moments: a 24-bit offset in the millions
    // must not eat the digits of a noise of a few codes.
    int64_t sum = 0;
    for (int32_t s : samples)
        sum += s;
    const double n = static_cast<double>(f.count);
    f.mean = static_cast<double>(sum) / n;
    long double m2 = 0, m3 = 0, m4 = 0;
    for (int32_t s : samples) {
        const long double d = static_cast<long double>(s) - f.mean;
        const long double d2 = d * d;
        m2 += d2;
        m3 += d2 * d;
        m4 += d2 * d2;
    }
    m2 /= n;
    m3 /= n;
    m4 /= n;
    f.stdDev = std::sqrt(static_cast<double>(m2));

    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    f.effectiveBits = f.stdDev > 0 ? std::log2(kCodeSpan / f.stdDev) : inf;
    f.noiseFreeBits =
        f.peakToPeak > 0 ? std::log2(kCodeSpan / static_cast<double>(f.peakToPeak)) : inf;
    if (m2 > 0) {
        f.skewness = static_cast<double>(m3 / std::pow(m2, 1.5L));
        f.excessKurtosis = static_cast<double>(m4 / (m2 * m2)) - 3.0;
    } else {
        f.skewness = nan;
        f.excessKurtosis = nan;
    }
    return f;
}

int64_t CountClipped(std::span<const int32_t> samples) {
    return std::count_if(samples.begin(), samples.end(),
                         [](int32_t s) { return s <= kCodeMinimum || s >= kCodeMaximum; });
}

std::string ClippedText(int64_t clipped, int64_t count) {
    if (clipped == 0)
        return {};
    return "Clipped: " + std::to_string(clipped) + " of " + std::to_string(count) +
           " samples at the code limits";
}

} // namespace analysis
