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
    if (m_n == 0) {
        m_t0 = seconds;
        m_y0 = mean;
    }
    const double t = seconds - m_t0, y = mean - m_y0;
    ++m_n;
    m_st += t;
    m_sy += y;
    m_stt += t * t;
    m_sty += t * y;
    m_syy += y * y;
}

bool DriftLine::valid() const {
    return m_n >= 2 && m_n * m_stt - m_st * m_st > 0.0;
}

double DriftLine::slopePerHour() const {
    if (!valid())
        return 0.0;
    const double n = static_cast<double>(m_n);
    return (n * m_sty - m_st * m_sy) / (n * m_stt - m_st * m_st) * 3600.0;
}

bool DriftLine::hasError() const {
    return m_n >= 3 && valid();
}

double DriftLine::slopeErrorPerHour() const {
    if (!hasError())
        return 0.0;
    const double n = static_cast<double>(m_n);
    const double sxx = m_stt - m_st * m_st / n;
    const double sxy = m_sty - m_st * m_sy / n;
    const double syy = m_syy - m_sy * m_sy / n;
    const double residual = std::max(0.0, syy - sxy * sxy / sxx);
    return std::sqrt(residual / (n - 2.0) / sxx) * 3600.0;
}

} // namespace capture
