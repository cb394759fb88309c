#include "distribution.h"

#include <algorithm>
#include <cmath>
#include <limits>

Distribution g_distribution;

Distribution ComputeDistribution(const std::vector<int32_t> &samples) {
    Distribution d;
    const double n = static_cast<double>(samples.size());
    double sum = 0;
    for (const int32_t x : samples)
        sum += static_cast<double>(x);
    const double mean = sum / n;
    double squares = 0;
    for (const int32_t x : samples)
        squares += (x - mean) * (x - mean);
    const double sigma = std::sqrt(squares / n);
    for (int k = 0; k < kBandCount; ++k)
        d.g_bandLimits[k] = static_cast<float>(mean + (k - 3) * sigma);
    if (samples.empty()) {
        d.g_bandLimits.fill(std::numeric_limits<float>::quiet_NaN());
        return d;
    }
    for (const int32_t sample : samples) {
        const double x = sample;
        for (int k = 0; k < kBandCount; ++k) {
            if (x < mean + (k - 3) * sigma) {
                ++d.g_bandCounts[k];
                break;
            }
        }
    }
    return d;
}

float BarScale(int32_t largestCount) {
    if (largestCount > 300)
        return static_cast<float>(largestCount) / 300.0f;
    if (largestCount >= 151)
        return 1.0f;
    if (largestCount >= 76)
        return 0.5f;
    if (largestCount >= 39)
        return 0.25f;
    if (largestCount >= 31)
        return 0.2f;
    return 0.1f;
}

std::array<int, kBandCount> BarHeights(const std::array<int32_t, kBandCount> &counts) {
    const float scale = BarScale(*std::max_element(counts.begin(), counts.end()));
    std::array<int, kBandCount> heights{};
    for (int k = 0; k < kBandCount; ++k)
        heights[k] = static_cast<int>(static_cast<float>(counts[k]) / scale);
    return heights;
}

std::array<int, 7> CountLabels(float countsPerPixel) {
    // Each label grows from the previous truncated one, so the truncation adds up.
    const float step = countsPerPixel * 50.0f;
    std::array<int, 7> labels{};
    int v = 0;
    for (int &label : labels) {
        label = v;
        v = static_cast<int>(static_cast<float>(v) + step);
    }
    return labels;
}
