#pragma once
// The chunked walk of sample_source.h, a template so each analysis' inner loop is inlined.

#include "analysis/sample_source.h"

#include <algorithm>

namespace analysis {

template <typename Visit>
bool WalkPiece(SampleSource &source, const SamplePiece &piece, uint64_t first, uint64_t count,
               bool wantTimes, double sampleRateHz, Visit &&visit) {
    std::vector<int32_t> codes(static_cast<size_t>(std::min<uint64_t>(count, kReadChunk)));
    std::vector<double> times(wantTimes ? codes.size() : 0);
    const bool ownTimes = wantTimes && source.hasTimes();
    for (uint64_t done = 0; done < count;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(count - done, kReadChunk));
        const std::span<int32_t> c(codes.data(), n);
        const std::span<double> t(times.data(), wantTimes ? n : 0);
        if (!source.read(first + done, c, ownTimes ? t : std::span<double>()))
            return false;
        if (wantTimes && !ownTimes) {
            const uint64_t run = piece.runFirst + (first + done - piece.first);
            for (size_t i = 0; i < n; ++i)
                t[i] = IndexTime(run + i, sampleRateHz);
        }
        if (!visit(first + done, std::span<const int32_t>(c), std::span<const double>(t)))
            return false;
        done += n;
    }
    return true;
}

} // namespace analysis
