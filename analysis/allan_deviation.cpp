#include "analysis/allan_deviation.h"

#include <algorithm>
#include <cmath>

namespace analysis {
namespace {

constexpr int kExactOctaves = 14;                             // m = 1 .. 8192: every start
constexpr size_t kHistory = size_t(2) << (kExactOctaves - 1); // 2 x 8192 running sums back
constexpr uint64_t kKeepEvery = 64;                           // running sum kept for larger m
constexpr uint64_t kStartsPerM = 256;                         // beyond 8192, starts m / 256 apart

struct Octave {
    long double sumSquares = 0;
    uint64_t terms = 0;
    double edf = 0;
};

// One piece: the exact octaves from a window of running sums that slides over the chunks,
// the larger ones from the sums kept at every 64th sample afterwards.
class PieceWalker {
  public:
    PieceWalker(std::vector<Octave> &octaves, const Baseline &baseline)
        : m_octaves(octaves), m_baseline(baseline), m_sums(1, 0.0), m_kept(1, 0.0) {}

    void add(std::span<const int32_t> codes, std::span<const double> times) {
        const size_t from = m_sums.size();
        m_sums.resize(from + codes.size());
        double s = m_sums[from - 1];
        const bool line = m_baseline.needsTimes();
        for (size_t i = 0; i < codes.size(); ++i) {
            s += codes[i] - (line ? m_baseline.at(times[i]) : m_baseline.meanCodes);
            m_sums[from + i] = s;
            if ((m_base + from + i) % kKeepEvery == 0)
                m_kept.push_back(s);
        }
        const int exact = std::min<int>(kExactOctaves, static_cast<int>(m_octaves.size()));
        for (int e = 0; e < exact; ++e) {
            const size_t m = size_t(1) << e;
            // Sum index k = m_base + p; a term ends at every k >= 2m.
            const size_t first = std::max(from, m_base >= 2 * m ? size_t(0) : 2 * m - m_base);
            double squares = 0;
            const double *h = m_sums.data();
            for (size_t p = first; p < m_sums.size(); ++p) {
                const double d = h[p] - 2 * h[p - m] + h[p - 2 * m];
                squares += d * d;
            }
            if (m_sums.size() > first) {
                m_octaves[e].sumSquares += squares;
                m_octaves[e].terms += m_sums.size() - first;
            }
        }
        // Keep the last 2 x 8192 sums for the next chunk.
        if (m_sums.size() > kHistory) {
            const size_t drop = m_sums.size() - kHistory;
            m_sums.erase(m_sums.begin(), m_sums.begin() + static_cast<std::ptrdiff_t>(drop));
            m_base += drop;
        }
    }

    // The larger octaves, once the piece has been read.
    void finish(uint64_t samples) {
        for (size_t e = 0; e < m_octaves.size(); ++e) {
            const uint64_t m = uint64_t(1) << e;
            if (samples >= 2 * m)
                m_octaves[e].edf += AllanEdf(samples, m);
            if (static_cast<int>(e) < kExactOctaves)
                continue;
            const uint64_t step = m / kStartsPerM / kKeepEvery, span = m / kKeepEvery;
            long double squares = 0;
            uint64_t terms = 0;
            for (uint64_t j = 0; j + 2 * span < m_kept.size(); j += step, ++terms) {
                const double d = m_kept[j + 2 * span] - 2 * m_kept[j + span] + m_kept[j];
                squares += d * d;
            }
            m_octaves[e].sumSquares += squares;
            m_octaves[e].terms += terms;
        }
    }

  private:
    std::vector<Octave> &m_octaves;
    const Baseline &m_baseline;
    std::vector<double> m_sums; // running sums; m_sums[0] is sum index m_base
    size_t m_base = 0;
    std::vector<double> m_kept; // running sum at every 64th sum index
};

} // namespace

double AllanEdf(uint64_t samples, uint64_t m) {
    const double n = static_cast<double>(samples) + 1.0, mm = static_cast<double>(m);
    const double edf = (3.0 * (n - 1.0) / (2.0 * mm) - 2.0 * (n - 2.0) / n) * 4.0 * mm * mm /
                       (4.0 * mm * mm + 5.0);
    return std::max(1.0, edf);
}

AllanFloor FindAllanFloor(const AllanDeviation &allan) {
    std::vector<size_t> trusted;
    for (size_t i = 0; i < allan.points.size(); ++i) {
        if (allan.points[i].edf >= kFloorEdf)
            trusted.push_back(i);
    }
    AllanFloor floor;
    if (trusted.empty())
        return floor;
    const auto least = std::min_element(trusted.begin(), trusted.end(), [&](size_t a, size_t b) {
        return allan.points[a].adev < allan.points[b].adev;
    });
    const size_t before = static_cast<size_t>(least - trusted.begin());
    const size_t after = trusted.size() - 1 - before;
    floor.index = *least;
    floor.kind = after < 2    ? AllanFloor::Kind::StillFalling
                 : before < 2 ? AllanFloor::Kind::LowestAtStart
                              : AllanFloor::Kind::Floor;
    return floor;
}

double ChiSquareQuantile(double edf, double z) {
    const double a = 2.0 / (9.0 * edf);
    const double root = 1.0 - a + z * std::sqrt(a);
    return edf * root * root * root;
}

std::optional<AllanDeviation> ComputeAllanDeviation(SampleSource &source, double sampleRateHz,
                                                    const Baseline &baseline, std::string &error,
                                                    const std::atomic<bool> *cancel) {
    AllanDeviation result;
    const uint64_t total = source.count();
    if (total < 3 || !(sampleRateHz > 0))
        return result;
    std::vector<Octave> octaves;
    for (uint64_t m = 1; m <= total / 3; m *= 2)
        octaves.emplace_back();
    for (const SamplePiece &piece : source.pieces()) {
        PieceWalker walker(octaves, baseline);
        const bool read =
            WalkPiece(source, piece, piece.first, piece.count, baseline.needsTimes(), sampleRateHz,
                      [&](uint64_t, std::span<const int32_t> codes, std::span<const double> times) {
                          walker.add(codes, times);
                          return !(cancel && cancel->load());
                      });
        if (!read) {
            if (cancel && cancel->load())
                return std::nullopt;
            error = source.errorText();
            return std::nullopt;
        }
        walker.finish(piece.count);
    }
    for (size_t e = 0; e < octaves.size(); ++e) {
        const Octave &o = octaves[e];
        if (o.terms == 0)
            continue;
        AllanPoint p;
        p.m = uint64_t(1) << e;
        p.tau = static_cast<double>(p.m) / sampleRateHz;
        const double m = static_cast<double>(p.m);
        p.adev = std::sqrt(static_cast<double>(o.sumSquares / o.terms) / (2.0 * m * m));
        p.terms = o.terms;
        p.edf = std::max(1.0, o.edf);
        p.low = p.adev * std::sqrt(p.edf / ChiSquareQuantile(p.edf, 1.0));
        const double upper = ChiSquareQuantile(p.edf, -1.0);
        p.high = upper > 0 ? p.adev * std::sqrt(p.edf / upper) : p.adev * 10;
        result.points.push_back(p);
    }
    const size_t first = std::min<size_t>(3, result.points.size());
    double logs = 0;
    for (size_t i = 0; i < first; ++i)
        logs += std::log(result.points[i].adev * std::sqrt(result.points[i].tau));
    if (first > 0)
        result.whiteCoefficient = std::exp(logs / static_cast<double>(first));
    return result;
}

} // namespace analysis
