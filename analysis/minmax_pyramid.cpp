#include "analysis/minmax_pyramid.h"

#include <algorithm>

namespace analysis {

void MinMaxPyramid::add(std::span<const int32_t> codes) {
    if (m_levels.empty())
        m_levels.emplace_back();
    Level &base = m_levels.front();
    for (int32_t code : codes) {
        if (m_count % kBucket == 0) {
            if (m_count > 0) {
                base.minimum.push_back(m_partialMin);
                base.maximum.push_back(m_partialMax);
            }
            m_partialMin = m_partialMax = code;
        } else {
            m_partialMin = std::min(m_partialMin, code);
            m_partialMax = std::max(m_partialMax, code);
        }
        ++m_count;
    }
}

void MinMaxPyramid::finish() {
    if (m_count == 0)
        return;
    Level &base = m_levels.front();
    if (base.minimum.size() * kBucket < m_count) {
        base.minimum.push_back(m_partialMin);
        base.maximum.push_back(m_partialMax);
    }
    while (m_levels.back().minimum.size() > 1) {
        const Level &below = m_levels.back();
        Level above;
        for (size_t i = 0; i < below.minimum.size(); i += 2) {
            const size_t j = std::min(i + 1, below.minimum.size() - 1);
            above.minimum.push_back(std::min(below.minimum[i], below.minimum[j]));
            above.maximum.push_back(std::max(below.maximum[i], below.maximum[j]));
        }
        m_levels.push_back(std::move(above));
    }
}

std::vector<MinMaxColumn> MinMaxPyramid::columns(uint64_t first, uint64_t last,
                                                 size_t columns) const {
    std::vector<MinMaxColumn> out;
    last = std::min(last, m_count);
    if (first >= last || columns == 0 || m_levels.empty())
        return out;
    const uint64_t perColumn = (last - first + columns - 1) / columns;
    if (perColumn < kBucket)
        return out;
    size_t level = 0;
    while (level + 1 < m_levels.size() && (kBucket << (level + 1)) <= perColumn)
        ++level;
    const uint64_t bucket = kBucket << level;
    // Buckets per column, rounded: between two thirds and four thirds of the columns asked.
    const uint64_t width = std::max<uint64_t>(1, (perColumn + bucket / 2) / bucket);
    const Level &l = m_levels[level];
    for (uint64_t b = first / bucket; b * bucket < last && b < l.minimum.size(); b += width) {
        MinMaxColumn column;
        column.first = b * bucket;
        const uint64_t end = std::min<uint64_t>(b + width, l.minimum.size());
        column.count = std::min(end * bucket, m_count) - column.first;
        column.minimum = *std::min_element(l.minimum.begin() + static_cast<std::ptrdiff_t>(b),
                                           l.minimum.begin() + static_cast<std::ptrdiff_t>(end));
        column.maximum = *std::max_element(l.maximum.begin() + static_cast<std::ptrdiff_t>(b),
                                           l.maximum.begin() + static_cast<std::ptrdiff_t>(end));
        out.push_back(column);
    }
    return out;
}

} // namespace analysis
