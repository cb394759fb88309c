#include "run_envelope.h"

#include <algorithm>

namespace capture {

RunEnvelope::RunEnvelope(size_t columns, size_t recentSamples)
    : m_capacity(std::max<size_t>(2, columns & ~size_t(1))),
      m_ring(std::max<size_t>(1, recentSamples)) {
    m_columns.reserve(m_capacity);
}

void RunEnvelope::clear() {
    m_columns.clear();
    m_perColumn = 1;
    m_inLast = 0;
    m_samples = 0;
    m_next = 0;
}

void RunEnvelope::add(int32_t code) {
    m_ring[m_next] = code;
    m_next = (m_next + 1) % m_ring.size();
    ++m_samples;
    if (m_inLast > 0 && m_inLast < m_perColumn) {
        EnvelopeColumn &last = m_columns.back();
        last.minimum = std::min(last.minimum, code);
        last.maximum = std::max(last.maximum, code);
        ++m_inLast;
        return;
    }
    if (m_columns.size() == m_capacity)
        merge();
    m_columns.push_back({code, code});
    m_inLast = 1;
}

void RunEnvelope::merge() {
    // Pairs become one column of twice the samples; the count stays a power of two times one.
    const size_t half = m_columns.size() / 2;
    for (size_t i = 0; i < half; ++i) {
        const EnvelopeColumn &a = m_columns[2 * i];
        const EnvelopeColumn &b = m_columns[2 * i + 1];
        m_columns[i] = {std::min(a.minimum, b.minimum), std::max(a.maximum, b.maximum)};
    }
    m_columns.resize(half);
    m_perColumn *= 2;
    m_inLast = m_perColumn; // the merged last column is full
}

std::vector<int32_t> RunEnvelope::recent() const {
    const size_t kept = static_cast<size_t>(std::min<uint64_t>(m_samples, m_ring.size()));
    std::vector<int32_t> out;
    out.reserve(kept);
    const size_t first = (m_next + m_ring.size() - kept) % m_ring.size();
    for (size_t i = 0; i < kept; ++i)
        out.push_back(m_ring[(first + i) % m_ring.size()]);
    return out;
}

void SharedEnvelope::add(std::span<const int32_t> codes) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (int32_t code : codes)
        m_envelope.add(code);
}

void SharedEnvelope::clear() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_envelope.clear();
}

uint64_t SharedEnvelope::samples() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_envelope.samples();
}

RunEnvelope SharedEnvelope::copy() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_envelope;
}

} // namespace capture
