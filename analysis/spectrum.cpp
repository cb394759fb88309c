#include "analysis/spectrum.h"

#include "analysis/tone_metrics.h"

#include <kissfft/kissfft.hh>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
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

namespace {

// Plans and windows cost as much as a transform; a window shows record after record of one
// length, so the last of each is kept (per thread, so callers on several threads are safe).
struct Plans {
    size_t length = 0;
    std::unique_ptr<kissfft<double>> plan;
    WindowKind windowKind = WindowKind::Hann;
    std::vector<double> window;
};

const kissfft<double> &PlanFor(Plans &plans, size_t length) {
    if (!plans.plan || plans.length != length) {
        plans.plan = std::make_unique<kissfft<double>>(length, false);
        plans.length = length;
    }
    return *plans.plan;
}

const std::vector<double> &WindowFor(Plans &plans, WindowKind kind, size_t n) {
    if (plans.window.size() != n || plans.windowKind != kind) {
        plans.window = MakeWindow(kind, n);
        plans.windowKind = kind;
    }
    return plans.window;
}

// The DFT of m real values, bins 0 to m / 2. An even length goes through the half-length
// complex transform that KissFFT unpacks for real input.
std::vector<std::complex<double>> RealDft(Plans &plans, std::vector<double> &input) {
    const size_t m = input.size();
    std::vector<std::complex<double>> out(m / 2 + 1);
    if (m % 2 == 0) {
        std::vector<std::complex<double>> half(m / 2);
        PlanFor(plans, m / 2).transform_real(input.data(), half.data());
        out[0] = half[0].real();
        out[m / 2] = half[0].imag();
        std::copy(half.begin() + 1, half.end(), out.begin() + 1);
    } else {
        std::vector<std::complex<double>> in(input.begin(), input.end()), full(m);
        PlanFor(plans, m).transform(in.data(), full.data());
        std::copy(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(out.size()),
                  out.begin());
    }
    return out;
}

} // namespace

Spectrum ComputeSpectrum(std::span<const int32_t> samples, WindowKind kind, double sampleRateHz) {
    thread_local Plans plans;
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
    const std::vector<double> &w = WindowFor(plans, kind, n);
    double windowSum = 0, windowSquares = 0;
    std::vector<double> input(m, 0.0); // zeros beyond the samples pad the transform
    for (size_t i = 0; i < n; ++i) {
        input[i] = (samples[i] - mean) * w[i];
        windowSum += w[i];
        windowSquares += w[i] * w[i];
    }
    const std::vector<std::complex<double>> out = RealDft(plans, input);

    const size_t bins = out.size();
    s.dbfs.resize(bins);
    s.power.resize(bins);
    // A sine of amplitude A peaks at A/2 * sum(w); full scale is a sine of 2^23 codes.
    const double fullScaleBin = 8388608.0 / 2.0 * windowSum;
    const double powerScale = 1.0 / (static_cast<double>(m) * windowSquares);
    for (size_t k = 0; k < bins; ++k) {
        const double squared = std::norm(out[k]);
        const bool edge = k == 0 || (m % 2 == 0 && k == m / 2);
        s.power[k] = (edge ? 1.0 : 2.0) * squared * powerScale;
        s.dbfs[k] = 10.0 * std::log10(std::max(squared / (fullScaleBin * fullScaleBin), 1e-40));
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
