#pragma once
// How the samples spread around their mean, in eight bands one standard deviation wide, and
// the bar and label arithmetic of its drawing.

#include <array>
#include <cstdint>
#include <vector>

constexpr int kBandCount = 8;

struct Distribution {
    // Entry k: mean + (k - 3) sigma, the upper limit of band k. Not a number with no samples.
    std::array<float, kBandCount> g_bandLimits{};
    // Entry k: samples with limit(k - 1) <= x < limit(k); band 0 has no lower limit.
    std::array<int32_t, kBandCount> g_bandCounts{};
};

// The last distribution computed for a drawing.
extern Distribution g_distribution;

Distribution ComputeDistribution(const std::vector<int32_t> &samples);

// Counts per pixel of bar height for the largest band count.
float BarScale(int32_t largestCount);

// Bar heights in pixels for the counts, at the scale of their largest count.
std::array<int, kBandCount> BarHeights(const std::array<int32_t, kBandCount> &counts);

// The seven count labels, bottom to top, one per five divisions.
std::array<int, 7> CountLabels(float countsPerPixel);
