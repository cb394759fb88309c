#include "analysis/noise_density.h"

#include "analysis/segment_power.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace analysis {
namespace {

// The largest of 2^a, 3 x 2^a, 5 x 2^a (a >= 1, so the real transform's half is whole) up to
// limit; 0 below 8.
size_t LargestFastLength(uint64_t limit) {
    uint64_t best = 0;
    for (uint64_t factor : {1, 3, 5}) {
        for (uint64_t v = factor * 2; v <= limit; v *= 2)
            best = std::max(best, v);
    }
    return best >= 8 ? static_cast<size_t>(best) : 0;
}

// The periodic Hann window applied in place, its cosine by rotation (set exactly every 4096
// samples) so a long segment costs no table and no cosine per sample.
void ApplyHann(std::vector<double> &x) {
    const size_t n = x.size();
    const double step = 2.0 * std::numbers::pi / static_cast<double>(n);
    const std::complex<double> turn = std::polar(1.0, step);
    std::complex<double> z;
    for (size_t i = 0; i < n; ++i) {
        if (i % 4096 == 0)
            z = std::polar(1.0, step * static_cast<double>(i));
        x[i] *= 0.5 - 0.5 * z.real();
        z *= turn;
    }
}

double Mean(std::span<const double> values) {
    double sum = 0;
    for (double v : values)
        sum += v;
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

// Mean of the bins first..last (inclusive) of the density, leaving out those above ten times
// the median of the given reference band (tones).
double MeanWithoutTones(const std::vector<double> &p, size_t first, size_t last, double median) {
    double sum = 0;
    size_t n = 0;
    for (size_t k = first; k <= last; ++k) {
        if (p[k] <= 10 * median) {
            sum += p[k];
            ++n;
        }
    }
    return n ? sum / static_cast<double>(n) : 0.0;
}

} // namespace

size_t WelchSegmentLength(uint64_t samples) {
    if (samples < 16)
        return 0;
    return LargestFastLength(std::max<uint64_t>(samples / 8, 8));
}

std::optional<NoiseDensity> ComputeNoiseDensity(SampleSource &source, double sampleRateHz,
                                                const Baseline &baseline, std::string &error,
                                                const std::atomic<bool> *cancel) {
    NoiseDensity density;
    const std::vector<SamplePiece> pieces = source.pieces();
    uint64_t longest = 0;
    for (const SamplePiece &piece : pieces)
        longest = std::max(longest, piece.count);
    const size_t length = std::min(WelchSegmentLength(source.count()), LargestFastLength(longest));
    if (length == 0 || !(sampleRateHz > 0))
        return density;

    density.segmentLength = length;
    density.binHz = sampleRateHz / static_cast<double>(length);
    SegmentPower power(length);
    std::vector<double> segment(length);
    std::vector<double> sum(length / 2 + 1, 0.0);
    const bool times = baseline.needsTimes();
    for (const SamplePiece &piece : pieces) {
        for (uint64_t start = piece.first; start + length <= piece.first + piece.count;
             start += length / 2) {
            if (cancel && cancel->load())
                return std::nullopt;
            const bool read = WalkPiece(
                source, piece, start, length, times, sampleRateHz,
                [&](uint64_t at, std::span<const int32_t> codes, std::span<const double> t) {
                    double *out = segment.data() + (at - start);
                    for (size_t i = 0; i < codes.size(); ++i)
                        out[i] = codes[i] - (times ? baseline.at(t[i]) : baseline.meanCodes);
                    return !(cancel && cancel->load());
                });
            if (!read) {
                if (!(cancel && cancel->load()))
                    error = source.errorText();
                return std::nullopt;
            }
            const double mean = Mean(segment);
            for (double &v : segment)
                v -= mean;
            ApplyHann(segment);
            power.add(segment, sum);
            ++density.segments;
        }
    }
    // The periodic Hann window's sum of squares is 3/8 of its length. The sums become the
    // density in place: a second array of the spectrum's size is not needed.
    const double scale = 1.0 / (sampleRateHz * 0.375 * static_cast<double>(length) *
                                static_cast<double>(density.segments));
    for (size_t k = 0; k < sum.size(); ++k) {
        const bool edge = k == 0 || k == length / 2;
        sum[k] *= scale * (edge ? 1.0 : 2.0);
    }
    segment = {};
    density.powerDensity = std::move(sum);
    FindWhiteAndCorner(density);
    return density;
}

void FindWhiteAndCorner(NoiseDensity &density) {
    density.whiteLevel.reset();
    density.cornerHz.reset();
    const std::vector<double> &p = density.powerDensity;
    const size_t length = density.segmentLength;
    if (length < 40 || p.size() != length / 2 + 1)
        return;
    const size_t low = (length + 19) / 20, middle = length / 8, high = length * 2 / 5;
    if (middle <= low + 1 || high <= middle + 1)
        return;
    std::vector<double> band(p.begin() + static_cast<std::ptrdiff_t>(low),
                             p.begin() + static_cast<std::ptrdiff_t>(high) + 1);
    auto mid = band.begin() + static_cast<std::ptrdiff_t>(band.size() / 2);
    std::nth_element(band.begin(), mid, band.end());
    const double median = *mid;
    const double lower = MeanWithoutTones(p, low, middle, median);
    const double upper = MeanWithoutTones(p, middle, high, median);
    if (!(lower > 0) || !(upper > 0) || lower > 2 * upper || upper > 2 * lower)
        return;
    const double white = MeanWithoutTones(p, low, high, median);
    density.whiteLevel = white;

    const std::vector<DensityBand> bands = BandAverages(density, 10);
    if (bands.empty() || bands.front().density < 2 * white)
        return;
    for (size_t b = 1; b < bands.size(); ++b) {
        if (bands[b].density >= 2 * white)
            continue;
        const DensityBand &a = bands[b - 1], &c = bands[b];
        const double fraction = (std::log(2 * white) - std::log(a.density)) /
                                (std::log(c.density) - std::log(a.density));
        density.cornerHz = std::exp(std::log(a.hz) + fraction * (std::log(c.hz) - std::log(a.hz)));
        return;
    }
}

std::vector<DensityBand> BandAverages(const NoiseDensity &density, int bandsPerDecade) {
    std::vector<DensityBand> bands;
    const std::vector<double> &p = density.powerDensity;
    const double ratio = std::pow(10.0, 1.0 / bandsPerDecade);
    for (size_t first = 1; first < p.size();) {
        size_t last = std::max(first, static_cast<size_t>(std::ceil(first * ratio)) - 1);
        last = std::min(last, p.size() - 1);
        double sum = 0;
        for (size_t k = first; k <= last; ++k)
            sum += p[k];
        bands.push_back({std::sqrt(density.frequency(first) * density.frequency(last)),
                         sum / static_cast<double>(last - first + 1)});
        first = last + 1;
    }
    return bands;
}

} // namespace analysis
