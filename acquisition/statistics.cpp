#include "statistics.h"

#include <algorithm>

namespace {
int64_t halfSpanOf(const ChartState &state) {
    return std::max<int64_t>(int64_t{state.m_maximum} - state.m_centre,
                             int64_t{state.m_centre} - state.m_minimum);
}
} // namespace

bool UpdateStatistics(const std::vector<int32_t> &samples, ChartState &state) {
    if (samples.empty())
        return false;
    int32_t minimum = samples.front();
    int32_t maximum = samples.front();
    int64_t sum = 0;
    for (const int32_t v : samples) {
        minimum = std::min(minimum, v);
        maximum = std::max(maximum, v);
        sum += v;
    }
    state.m_minimum = minimum;
    state.m_maximum = maximum;
    state.m_average = static_cast<int32_t>(sum / static_cast<int64_t>(samples.size()));
    const int32_t mid = static_cast<int32_t>((int64_t{minimum} + maximum) / 2);
    state.m_centre = int64_t{mid} - minimum > 50 ? (mid / 50) * 50 : (mid / 10) * 10;

    const int64_t halfSpan = halfSpanOf(state);
    state.m_unitsPerDivision = 0;
    for (int k = 1; k <= 99; ++k) {
        if (150 * k > halfSpan) {
            state.m_unitsPerDivision = static_cast<float>(10 * k);
            break;
        }
    }
    state.m_sampleSpacing = 1.0f;
    state.m_divisionWidth = 10;
    state.m_divisionHeight = 10;
    return true;
}

float DrawingUnitsPerDivision(const ChartState &state) {
    if (state.m_unitsPerDivision > 0)
        return state.m_unitsPerDivision;
    const int64_t k = std::max<int64_t>(0, halfSpanOf(state)) / 150 + 1;
    return static_cast<float>(10 * k);
}
