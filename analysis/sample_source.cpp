#include "analysis/sample_source.h"

#include <algorithm>

namespace analysis {

MemorySource::MemorySource(std::span<const int32_t> codes, double sampleRateHz,
                           std::span<const MemoryGap> gaps)
    : m_codes(codes), m_rate(sampleRateHz > 0 ? sampleRateHz : 1.0) {
    uint64_t from = 0, run = 0;
    auto add = [&](uint64_t to) {
        to = std::clamp(to, from, static_cast<uint64_t>(codes.size()));
        if (to > from)
            m_pieces.push_back({from, to - from, run});
        run += to - from;
        from = to;
    };
    for (const MemoryGap &gap : gaps) {
        add(gap.at);
        run += gap.lost;
    }
    add(codes.size());
}

std::vector<SamplePiece> MemorySource::pieces() const {
    return m_pieces;
}

bool MemorySource::read(uint64_t first, std::span<int32_t> codes, std::span<double> times) {
    if (first > m_codes.size() || codes.size() > m_codes.size() - first)
        return false;
    std::copy_n(m_codes.begin() + static_cast<std::ptrdiff_t>(first), codes.size(), codes.begin());
    // By run-wide index: the conversions a gap lost took their time.
    for (size_t i = 0; i < times.size(); ++i) {
        const uint64_t held = first + i;
        auto piece =
            std::upper_bound(m_pieces.begin(), m_pieces.end(), held,
                             [](uint64_t at, const SamplePiece &p) { return at < p.first; });
        const uint64_t run = piece == m_pieces.begin()
                                 ? held
                                 : std::prev(piece)->runFirst + held - std::prev(piece)->first;
        times[i] = IndexTime(run, m_rate);
    }
    return true;
}

} // namespace analysis
