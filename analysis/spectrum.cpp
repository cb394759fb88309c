#include "analysis/spectrum.h"

#include "analysis/tone_metrics.h"

#include <kissfft/kissfft.hh>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <numeric>

namespace analysis {

size_t FastFftLength(size_t n) {
    for (size_t m = std::max<size_t>(n, 1);; ++m) {
        size_t r = m;
        for (size_t p : {2, 3, 5})
            while (r % p == 0)
                r /= p;
        if (r == 1)
            return m;
    }
}

std::vector<double> MakeWindow(WindowKind kind, size_t n) {
    std::vector<double> w(n);
    const double step = 2.0 * std::numbers::pi / static_cast<double>(n);
    for (size_t i = 0; i < n; ++i) {
        const double x = step * static_cast<double>(i);
        if (kind == WindowKind::Hann)
            w[i] = 0.5 - 0.5 * std::cos(x);
        else
            w[i] = 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) -
                   0.01168 * std::cos(3 * x);
    }
    return w;
}

Spectrum ComputeSpectrum(std::span<const int32_t> samples, WindowKind kind, double sampleRateHz) {
    Spectrum s;
    const size_t n = samples.size();
    if (n < 8 || !(sampleRateHz > 0))
        return s;
    s.sampleCount = n;
    s.fftLength = FastFftLength(n);
    const size_t m = s.fftLength;
    s.binHz = sampleRateHz / static_cast<double>(m);

    int64_t sum = 0;
    for (int32_t v : samples)
        sum += v;
    const double mean = static_cast<double>(sum) / static_cast<double>(n);
    const std::vector<double> w = MakeWindow(kind, n);
    double windowSum = 0, windowSquares = 0;
    std::vector<std::complex<double>> in(m), out(m);
    for (size_t i = 0; i < n; ++i) {
        in[i] = (samples[i] - mean) * w[i];
        windowSum += w[i];
        windowSquares += w[i] * w[i];
    }
    kissfft<double>(m, false).transform(in.data(), out.data());

    const size_t bins = m / 2 + 1;
    s.dbfs.resize(bins);
    s.power.resize(bins);
    // A sine of amplitude A peaks at A/2 * sum(w); full scale is a sine of 2^23 codes.
    const double fullScaleBin = 8388608.0 / 2.0 * windowSum;
    const double powerScale = 1.0 / (static_cast<double>(m) * windowSquares);
    for (size_t k = 0; k < bins; ++k) {
        const double magnitude = std::abs(out[k]);
        const bool edge = k == 0 || (m % 2 == 0 && k == m / 2);
        s.power[k] = (edge ? 1.0 : 2.0) * magnitude * magnitude * powerScale;
        s.dbfs[k] = 20.0 * std::log10(std::max(magnitude / fullScaleBin, 1e-20));
    }
    const ToneAnalysis tones = AnalyseTones(s.power, kind, static_cast<double>(m) / n);
    // Each bin carries binHz of bandwidth in its power.
    s.noiseDensityCodes = std::sqrt(tones.meanNoisePower / s.binHz);
    if (tones.tone) {
        s.tone = *tones.tone;
        s.tone->frequencyHz = tones.toneBin * s.binHz;
    }
    return s;
}

} // namespace analysis
