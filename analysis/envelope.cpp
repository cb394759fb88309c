#include "analysis/envelope.h"

#include <algorithm>

namespace analysis {

std::vector<TracePoint> MinMaxEnvelope(std::span<const double> y, double x0, double dx,
                                       size_t first, size_t last, size_t buckets) {
    std::vector<TracePoint> points;
    last = std::min(last, y.size());
    if (first >= last || buckets == 0)
        return points;
    const size_t count = last - first;
    auto at = [&](size_t i) { return TracePoint{x0 + static_cast<double>(i) * dx, y[i]}; };
    if (count <= 2 * buckets) {
        points.reserve(count);
        for (size_t i = first; i < last; ++i)
            points.push_back(at(i));
        return points;
    }
    points.reserve(2 * buckets);
    for (size_t b = 0; b < buckets; ++b) {
        const size_t lo = first + count * b / buckets;
        const size_t hi = first + count * (b + 1) / buckets;
        const auto [mn, mx] = std::minmax_element(y.begin() + lo, y.begin() + hi);
        const size_t a = static_cast<size_t>(mn - y.begin());
        const size_t c = static_cast<size_t>(mx - y.begin());
        points.push_back(at(std::min(a, c)));
        if (a != c)
            points.push_back(at(std::max(a, c)));
    }
    return points;
}

} // namespace analysis
