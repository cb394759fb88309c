// The long-run analyses' statements about their own uncertainty, checked on generated noise of
// known kind: the drift's 68 % interval covers the true drift about 68 % of the time, on white
// noise as on noise that wanders.

#include "analysis/drift_error.h"
#include "analysis/run_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace analysis;

namespace {

constexpr double kRate = 100.0;
constexpr double kDriftPerSecond = 1.5; // codes: the truth

enum class Noise { White, RandomWalk, Flicker };

// n samples of the noise on the true drift: white noise of 20 codes, a random walk of 3 codes a
// step, or 1/f noise made of 14 first-order processes with time constants 1, 2, 4 ... 8192 samples
// of equal variance (each started in its steady state), 40 codes in all; white noise of 2 codes
// beneath both.
std::vector<int32_t> Generate(Noise kind, size_t n, std::mt19937 &rng) {
    std::normal_distribution<double> normal(0.0, 1.0);
    constexpr int kProcesses = 14;
    const double each = 40.0 / std::sqrt(double(kProcesses));
    std::vector<double> level(kProcesses), decay(kProcesses), kick(kProcesses);
    for (int k = 0; k < kProcesses; ++k) {
        decay[k] = std::exp(-1.0 / std::ldexp(1.0, k));
        kick[k] = each * std::sqrt(1 - decay[k] * decay[k]);
        level[k] = each * normal(rng);
    }
    std::vector<int32_t> codes(n);
    double walk = 0;
    for (size_t i = 0; i < n; ++i) {
        double noise = 0;
        if (kind == Noise::White) {
            noise = 20.0 * normal(rng);
        } else if (kind == Noise::RandomWalk) {
            walk += 3.0 * normal(rng);
            noise = walk;
        } else {
            for (int k = 0; k < kProcesses; ++k) {
                level[k] = decay[k] * level[k] + kick[k] * normal(rng);
                noise += level[k];
            }
        }
        codes[i] = static_cast<int32_t>(
            std::lround(kDriftPerSecond * double(i) / kRate + noise + 2.0 * normal(rng)));
    }
    return codes;
}

} // namespace

TEST(DriftError, IntervalCoversTheTruthOnNoiseThatWanders) {
    for (Noise kind : {Noise::White, Noise::RandomWalk, Noise::Flicker}) {
        std::mt19937 rng(11 + static_cast<unsigned>(kind));
        constexpr int kRuns = 300;
        int covered = 0;
        double regressionRatio = 0;
        for (int run = 0; run < kRuns; ++run) {
            const std::vector<int32_t> codes = Generate(kind, 8192, rng);
            MemorySource source(codes, kRate);
            std::string error;
            const std::optional<RunSummary> summary = SummarizeRun(source, kRate, nullptr, error);
            ASSERT_TRUE(summary) << error;
            const DriftLine &line = summary->drift;
            if (std::abs(line.slopeCodesPerSecond - kDriftPerSecond) <=
                line.slopeErrorCodesPerSecond)
                ++covered;
            DriftAccumulator plain;
            std::vector<double> seconds(codes.size());
            for (size_t i = 0; i < codes.size(); ++i)
                seconds[i] = double(i) / kRate;
            plain.add(codes, seconds);
            regressionRatio +=
                line.slopeErrorCodesPerSecond / plain.line().slopeErrorCodesPerSecond / kRuns;
        }
        const double coverage = double(covered) / kRuns;
        std::printf("%s: the 68 %% interval covered the truth in %.1f %% of %d runs; %.1f times "
                    "the regression's error\n",
                    kind == Noise::White        ? "white noise"
                    : kind == Noise::RandomWalk ? "random walk"
                                                : "1/f noise",
                    100 * coverage, kRuns, regressionRatio);
        EXPECT_GE(coverage, 0.60);
        EXPECT_LE(coverage, 0.76);
    }
}
