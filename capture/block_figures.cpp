#include "block_figures.h"

#include <cmath>

namespace capture {

BlockFigures FiguresOf(std::span<const int32_t> codes) {
    BlockFigures figures;
    figures.count = codes.size();
    if (codes.empty())
        return figures;
    // About the first code: exact in doubles for any 24-bit codes and block length.
    const double origin = codes.front();
    double sum = 0.0, squares = 0.0;
    for (int32_t code : codes) {
        const double d = code - origin;
        sum += d;
        squares += d * d;
    }
    const double n = static_cast<double>(codes.size());
    const double meanOffset = sum / n;
    figures.mean = origin + meanOffset;
    figures.deviation = std::sqrt(std::max(0.0, squares / n - meanOffset * meanOffset));
    return figures;
}

void DriftLine::add(double seconds, double mean) {
    m_timeMoved = m_timeMoved || (points() > 0 && seconds != m_sums.line().firstSeconds);
    m_sums.add(seconds, mean);
}

bool DriftLine::valid() const {
    return points() >= 2 && m_timeMoved;
}

double DriftLine::slopePerHour() const {
    return valid() ? m_sums.line().slopeCodesPerSecond * 3600.0 : 0.0;
}

bool DriftLine::hasError() const {
    return points() >= 3 && valid();
}

double DriftLine::slopeErrorPerHour() const {
    return hasError() ? m_sums.line().slopeErrorCodesPerSecond * 3600.0 : 0.0;
}

} // namespace capture
