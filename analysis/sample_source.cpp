#include "analysis/sample_source.h"

#include <algorithm>

namespace analysis {

std::vector<SamplePiece> MemorySource::pieces() const {
    if (m_codes.empty())
        return {};
    return {SamplePiece{0, m_codes.size(), 0}};
}

bool MemorySource::read(uint64_t first, std::span<int32_t> codes, std::span<double> times) {
    if (first > m_codes.size() || codes.size() > m_codes.size() - first)
        return false;
    std::copy_n(m_codes.begin() + static_cast<std::ptrdiff_t>(first), codes.size(), codes.begin());
    for (size_t i = 0; i < times.size(); ++i)
        times[i] = IndexTime(first + i, m_rate);
    return true;
}

} // namespace analysis
