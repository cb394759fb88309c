#include "analysis/sample_times.h"

#include <algorithm>

namespace analysis {

void SpreadPiece(double anchor, double end, std::span<double> times) {
    if (times.empty())
        return;
    const double span = std::max(0.0, end - anchor);
    const double n = static_cast<double>(times.size());
    for (size_t k = 0; k < times.size(); ++k)
        times[k] = anchor + span * static_cast<double>(k + 1) / n;
    times.back() = anchor + span; // exactly, whatever the rounding above
}

void ArrivalTimes::spread(double end, std::span<double> times) {
    if (times.empty())
        return;
    SpreadPiece(m_anchor, end, times);
    m_anchor = times.back();
}

void ArrivalTimes::restartAt(double seconds) {
    m_anchor = std::max(m_anchor, seconds);
}

} // namespace analysis
