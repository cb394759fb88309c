#include "analysis/drift_error.h"

#include "analysis/allan_deviation.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace analysis {
namespace {

constexpr uint64_t kBlocks = 4096;
constexpr uint64_t kFewest = 64; // samples: below, the regression's error stands

// Solves the weighted least squares of avar by the terms in use (mask bit 0 white, 1 flicker,
// 2 walk); false when a coefficient comes out negative or the system is singular.
bool Solve(std::span<const AvarPoint> points, std::span<const double> weights, unsigned mask,
           NoiseModel &model) {
    std::array<int, 3> used{};
    int n = 0;
    for (int k = 0; k < 3; ++k)
        if (mask & (1u << k))
            used[n++] = k;
    auto basis = [](int k, double tau) { return k == 0 ? 1.0 / tau : k == 1 ? 1.0 : tau; };
    double a[3][4] = {};
    for (size_t i = 0; i < points.size(); ++i) {
        for (int r = 0; r < n; ++r) {
            const double br = basis(used[r], points[i].tau);
            for (int c = 0; c < n; ++c)
                a[r][c] += weights[i] * br * basis(used[c], points[i].tau);
            a[r][3] += weights[i] * br * points[i].avar;
        }
    }
    // Gauss-Jordan with partial pivoting on at most three unknowns.
    for (int c = 0; c < n; ++c) {
        int pivot = c;
        for (int r = c + 1; r < n; ++r)
            if (std::abs(a[r][c]) > std::abs(a[pivot][c]))
                pivot = r;
        if (!(std::abs(a[pivot][c]) > 0))
            return false;
        std::swap(a[c], a[pivot]);
        for (int r = 0; r < n; ++r) {
            if (r == c)
                continue;
            const double f = a[r][c] / a[c][c];
            for (int k = c; k < 4; ++k)
                a[r][k] -= f * a[c][k];
        }
    }
    NoiseModel found;
    double *terms[3] = {&found.white, &found.flicker, &found.walk};
    for (int r = 0; r < n; ++r) {
        const double value = a[r][3] / a[r][r];
        if (!(value >= 0))
            return false;
        *terms[used[r]] = value;
    }
    model = found;
    return true;
}

double ModelAt(const NoiseModel &m, double tau) {
    return m.white / tau + m.flicker + m.walk * tau;
}

} // namespace

BlockMeans::BlockMeans(uint64_t total)
    : m_total(total), m_blocks(static_cast<size_t>(std::min(total, kBlocks))) {}

void BlockMeans::add(uint64_t first, std::span<const int32_t> codes,
                     std::span<const double> seconds) {
    const uint64_t count = m_blocks.size();
    for (size_t i = 0; i < codes.size();) {
        // Sample j is in block j * count / total (total < 2^52, count <= 2^12: exact); block b
        // ends before the least j with j * count >= (b + 1) * total.
        const uint64_t at = first + i;
        const uint64_t b = at * count / m_total;
        const uint64_t next = ((b + 1) * m_total + count - 1) / count;
        const size_t end = static_cast<size_t>(std::min<uint64_t>(codes.size(), i + (next - at)));
        double sumCodes = 0, sumSeconds = 0;
        for (size_t k = i; k < end; ++k) {
            sumCodes += codes[k];
            sumSeconds += seconds[k];
        }
        Block &block = m_blocks[static_cast<size_t>(b)];
        block.sumCodes += sumCodes;
        block.sumSeconds += sumSeconds;
        block.count += end - i;
        i = end;
    }
}

NoiseModel FitNoiseModel(std::span<const AvarPoint> points) {
    NoiseModel best;
    if (points.empty())
        return best;
    // Relative least squares: weights edf / avar^2, the avar the model's after a first pass
    // on the measured one (a low point weighted by itself would pull the fit down).
    std::vector<double> weights(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        weights[i] = points[i].avar > 0 ? points[i].edf / (points[i].avar * points[i].avar) : 0;
    for (int pass = 0; pass < 3; ++pass) {
        double bestCost = INFINITY;
        NoiseModel chosen;
        for (unsigned mask = 1; mask < 8; ++mask) {
            NoiseModel model;
            if (!Solve(points, weights, mask, model))
                continue;
            // Half the weighted squares is about a chi-square; each term in use costs 4 more
            // (twice Akaike's 2: the white-noise degrees of freedom overstate those of the
            // last points under 1/f noise), so a term the points do not ask for stays out.
            double cost = 4.0 * std::popcount(mask);
            for (size_t i = 0; i < points.size(); ++i) {
                const double d = points[i].avar - ModelAt(model, points[i].tau);
                cost += weights[i] * d * d / 2;
            }
            if (cost < bestCost) {
                bestCost = cost;
                chosen = model;
            }
        }
        best = chosen;
        for (size_t i = 0; i < points.size(); ++i) {
            const double m = ModelAt(best, points[i].tau);
            weights[i] = m > 0 ? points[i].edf / (m * m) : 0;
        }
    }
    return best;
}

double DriftSlopeError(const BlockMeans &blocks, const DriftLine &line) {
    const std::vector<BlockMeans::Block> &b = blocks.blocks();
    if (line.count < kFewest || b.size() < 16)
        return line.slopeErrorCodesPerSecond;
    const double length = line.lastSeconds - line.firstSeconds;
    std::vector<double> residuals;
    residuals.reserve(b.size());
    for (const BlockMeans::Block &block : b) {
        if (block.count == 0)
            continue;
        const double n = static_cast<double>(block.count);
        residuals.push_back(block.sumCodes / n - line.at(block.sumSeconds / n));
    }
    const size_t k = residuals.size();
    if (k < 16 || !(length > 0))
        return line.slopeErrorCodesPerSecond;
    const double tau0 = length * (static_cast<double>(line.count) / static_cast<double>(k)) /
                        static_cast<double>(line.count - 1);
    std::vector<double> sums(k + 1, 0.0);
    for (size_t i = 0; i < k; ++i)
        sums[i + 1] = sums[i] + residuals[i];
    std::vector<AvarPoint> points;
    // From a 256th of the run (the block itself in shorter runs) to an eighth: the time scales
    // that move the slope. Shorter ones would bend the fit to shapes that do not reach the run's
    // length.
    for (size_t m = std::max<size_t>(1, k / 256); 8 * m <= k; m *= 2) {
        double squares = 0;
        for (size_t j = 0; j + 2 * m <= k; ++j) {
            const double d = sums[j + 2 * m] - 2 * sums[j + m] + sums[j];
            squares += d * d;
        }
        const double terms = static_cast<double>(k - 2 * m + 1);
        const double mm = static_cast<double>(m);
        points.push_back({mm * tau0, squares / terms / (2 * mm * mm), AllanEdf(k, m)});
    }
    const NoiseModel model = FitNoiseModel(points);
    const double t = length;
    const double variance = 12 * model.white / (t * t * t) +
                            9 / (2 * std::log(2.0)) * model.flicker / (t * t) +
                            3.6 * model.walk / t;
    return variance > 0 ? std::sqrt(variance) : line.slopeErrorCodesPerSecond;
}

} // namespace analysis
