#pragma once
// Thins a long trace for drawing without hiding a spike: each run of values becomes its
// minimum and maximum, in the order they occur.

#include <cstddef>
#include <span>
#include <vector>

namespace analysis {

struct TracePoint {
    double x;
    double y;
};

// Values first..last (exclusive) of y, at x = x0 + i * dx, as at most 2 * buckets points.
// Runs short enough are returned point for point.
std::vector<TracePoint> MinMaxEnvelope(std::span<const double> y, double x0, double dx,
                                       size_t first, size_t last, size_t buckets);

} // namespace analysis
