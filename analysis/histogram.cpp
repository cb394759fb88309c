#include "analysis/histogram.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace analysis {
namespace {

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<Vec3, 3>;

double det3(const Mat3 &m) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// Cramer's rule; false for a singular system.
bool solve3(const Mat3 &a, const Vec3 &b, Vec3 &x) {
    const double d = det3(a);
    if (!std::isfinite(d) || d == 0.0)
        return false;
    for (int c = 0; c < 3; ++c) {
        Mat3 m = a;
        for (int r = 0; r < 3; ++r)
            m[r][c] = b[r];
        x[c] = det3(m) / d;
    }
    return true;
}

// Fit parameters: amplitude, mean, sigma of the binned curve (bin width still in it).
double residualSum(const Histogram &h, const Vec3 &p) {
    double sum = 0.0;
    for (size_t i = 0; i < h.counts.size(); ++i) {
        const double z = (h.binCentre(i) - p[1]) / p[2];
        const double r = h.counts[i] - p[0] * std::exp(-0.5 * z * z);
        sum += r * r;
    }
    return sum;
}

} // namespace

Histogram HistogramLayout(int32_t lowest, int32_t highest, int maxBins) {
    Histogram h;
    const int64_t span = static_cast<int64_t>(highest) - lowest + 1;
    if (span <= 0)
        return h;
    const int64_t bins = std::max(1, maxBins);
    h.binWidth = static_cast<int32_t>((span + bins - 1) / bins);
    h.firstCode = lowest;
    h.counts.assign(static_cast<size_t>((span + h.binWidth - 1) / h.binWidth), 0);
    return h;
}

void CountSamples(Histogram &h, std::span<const int32_t> samples) {
    const int64_t end = static_cast<int64_t>(h.counts.size()) * h.binWidth;
    for (int32_t s : samples) {
        const int64_t offset = static_cast<int64_t>(s) - h.firstCode;
        if (offset >= 0 && offset < end)
            ++h.counts[static_cast<size_t>(offset / h.binWidth)];
    }
}

Histogram MakeHistogram(std::span<const int32_t> samples, int maxBins) {
    if (samples.empty())
        return {};
    const auto [lo, hi] = std::minmax_element(samples.begin(), samples.end());
    Histogram h = HistogramLayout(*lo, *hi, maxBins);
    CountSamples(h, samples);
    h.fit = FitGaussian(h);
    return h;
}

GaussianFit FitGaussian(const Histogram &h) {
    GaussianFit fit;
    double total = 0, first = 0;
    uint32_t peak = 0;
    for (size_t i = 0; i < h.counts.size(); ++i) {
        total += h.counts[i];
        first += h.counts[i] * h.binCentre(i);
        peak = std::max(peak, h.counts[i]);
    }
    if (h.counts.size() < 3 || total <= 0)
        return fit;
    const double mean = first / total;
    double second = 0;
    for (size_t i = 0; i < h.counts.size(); ++i) {
        const double d = h.binCentre(i) - mean;
        second += h.counts[i] * d * d;
    }
    Vec3 p{double(peak), mean, std::sqrt(second / total)};
    if (!(p[2] > 0))
        return fit;

    double lambda = 1e-3;
    double cost = residualSum(h, p);
    for (int iteration = 0; iteration < 100; ++iteration) {
        Mat3 jtj{};
        Vec3 jtr{};
        for (size_t i = 0; i < h.counts.size(); ++i) {
            const double z = (h.binCentre(i) - p[1]) / p[2];
            const double e = std::exp(-0.5 * z * z);
            const double model = p[0] * e;
            const Vec3 j{e, model * z / p[2], model * z * z / p[2]};
            const double r = h.counts[i] - model;
            for (int a = 0; a < 3; ++a) {
                jtr[a] += j[a] * r;
                for (int b = 0; b < 3; ++b)
                    jtj[a][b] += j[a] * j[b];
            }
        }
        bool improved = false;
        while (lambda < 1e12) {
            Mat3 damped = jtj;
            for (int a = 0; a < 3; ++a)
                damped[a][a] *= 1.0 + lambda;
            Vec3 step;
            if (!solve3(damped, jtr, step))
                return fit;
            const Vec3 trial{p[0] + step[0], p[1] + step[1], std::abs(p[2] + step[2])};
            const double trialCost = trial[2] > 0 ? residualSum(h, trial) : cost + 1;
            if (trialCost < cost) {
                const bool settled = cost - trialCost <= 1e-12 * cost;
                p = trial;
                cost = trialCost;
                lambda = std::max(lambda / 10, 1e-12);
                improved = !settled;
                break;
            }
            lambda *= 10;
        }
        if (!improved)
            break;
    }
    // Grouping whole codes into wider bins widens the bell by the bin's own variance.
    const double grouping = (double(h.binWidth) * h.binWidth - 1.0) / 12.0;
    const double variance = p[2] * p[2] - grouping;
    if (!(p[0] > 0) || !(variance > 0))
        return fit;
    fit.valid = true;
    fit.amplitude = p[0];
    fit.mean = p[1];
    fit.sigma = std::sqrt(variance);
    return fit;
}

double GaussianAt(const GaussianFit &fit, int32_t binWidth, double x) {
    if (!fit.valid)
        return 0.0;
    const double widened =
        std::sqrt(fit.sigma * fit.sigma + (double(binWidth) * binWidth - 1.0) / 12.0);
    const double z = (x - fit.mean) / widened;
    return fit.amplitude * std::exp(-0.5 * z * z);
}

} // namespace analysis
