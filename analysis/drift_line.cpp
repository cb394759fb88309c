#include "analysis/drift_line.h"

#include <algorithm>
#include <cmath>

namespace analysis {

void DriftAccumulator::add(std::span<const int32_t> codes, std::span<const double> seconds) {
    if (codes.empty())
        return;
    if (!m_started) {
        m_started = true;
        m_t0 = seconds[0];
        m_x0 = codes[0];
        m_first = seconds[0];
    }
    // A chunk's sums in double (exact enough over a chunk), added to the run's in long double.
    double st = 0, sx = 0, stt = 0, stx = 0, sxx = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        const double t = seconds[i] - m_t0;
        const double x = codes[i] - m_x0;
        st += t;
        sx += x;
        stt += t * t;
        stx += t * x;
        sxx += x * x;
    }
    m_n += codes.size();
    m_st += st;
    m_sx += sx;
    m_stt += stt;
    m_stx += stx;
    m_sxx += sxx;
    m_last = seconds[codes.size() - 1];
}

void DriftAccumulator::add(double seconds, double value) {
    if (!m_started) {
        m_started = true;
        m_t0 = seconds;
        m_x0 = value;
        m_first = seconds;
    }
    const double t = seconds - m_t0;
    const double x = value - m_x0;
    m_n += 1;
    m_st += t;
    m_sx += x;
    m_stt += t * t;
    m_stx += t * x;
    m_sxx += x * x;
    m_last = seconds;
}

double DriftAccumulator::rmsAboutMean() const {
    if (m_n <= 0)
        return 0.0;
    const long double mx = m_sx / m_n;
    return static_cast<double>(std::sqrt(std::max(0.0L, m_sxx / m_n - mx * mx)));
}

DriftLine DriftAccumulator::line() const {
    DriftLine line;
    if (m_n <= 0)
        return line;
    const long double n = m_n;
    const long double mt = m_st / n, mx = m_sx / n;
    const long double ctt = m_stt - n * mt * mt;
    const long double ctx = m_stx - n * mt * mx;
    const long double cxx = m_sxx - n * mx * mx;
    line.count = static_cast<uint64_t>(m_n);
    line.meanCodes = static_cast<double>(mx + m_x0);
    line.meanSeconds = static_cast<double>(mt + m_t0);
    line.firstSeconds = m_first;
    line.lastSeconds = m_last;
    const long double slope = ctt > 0 ? ctx / ctt : 0.0L;
    const long double residual = std::max(0.0L, cxx - slope * ctx);
    line.slopeCodesPerSecond = static_cast<double>(slope);
    line.residualRmsCodes = static_cast<double>(std::sqrt(residual / n));
    if (n > 2 && ctt > 0)
        line.slopeErrorCodesPerSecond = static_cast<double>(std::sqrt(residual / (n - 2) / ctt));
    return line;
}

} // namespace analysis
