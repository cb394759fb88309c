// The long-run analyses against answers known in advance: white noise, a random walk, a
// random walk under white noise (its corner), a straight line, a run with a gap, and scipy's
// own Welch estimate of the same samples.

#include "analysis/run_analysis.h"
#include "analysis/segment_power.h"
#include "synthetic_records.h"

#include <gtest/gtest.h>
#include <kissfft/kissfft.hh>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <sstream>
#include <unistd.h>

using namespace analysis;

namespace {

// Codes in memory cut into pieces at the given counts, the run-wide index jumping by gap
// samples between them.
class PiecedSource : public SampleSource {
  public:
    PiecedSource(std::vector<int32_t> codes, std::vector<uint64_t> counts, uint64_t gap,
                 double rate)
        : m_codes(std::move(codes)), m_rate(rate) {
        uint64_t first = 0, run = 0;
        for (uint64_t n : counts) {
            m_pieces.push_back({first, n, run});
            first += n;
            run += n + gap;
        }
    }
    uint64_t count() const override { return m_codes.size(); }
    std::vector<SamplePiece> pieces() const override { return m_pieces; }
    bool hasTimes() const override { return false; }
    bool read(uint64_t first, std::span<int32_t> codes, std::span<double>) override {
        std::copy_n(m_codes.begin() + static_cast<std::ptrdiff_t>(first), codes.size(),
                    codes.begin());
        return true;
    }
    std::string errorText() const override { return {}; }

  private:
    std::vector<int32_t> m_codes;
    std::vector<SamplePiece> m_pieces;
    double m_rate;
};

struct Figures {
    RunSummary summary;
    RunAnalysis analysis;
};

Figures Analyze(SampleSource &source, double rate, bool detrend = false) {
    std::string error;
    MinMaxPyramid pyramid;
    const std::optional<RunSummary> summary = SummarizeRun(source, rate, &pyramid, error);
    EXPECT_TRUE(summary) << error;
    const std::optional<RunAnalysis> analysis = AnalyzeRun(source, rate, *summary, detrend, error);
    EXPECT_TRUE(analysis) << error;
    return {*summary, *analysis};
}

std::vector<int32_t> RandomWalk(size_t n, double step, double white, uint32_t seed) {
    testrec::Gaussian g(seed);
    std::vector<int32_t> out(n);
    double level = 0;
    for (size_t i = 0; i < n; ++i) {
        level += step * g.next();
        out[i] = static_cast<int32_t>(std::lround(level + white * g.next()));
    }
    return out;
}

// Least-squares slope of log adev against log tau over the points with m in [lo, hi].
double AllanSlope(const AllanDeviation &allan, uint64_t lo, uint64_t hi) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0, n = 0;
    for (const AllanPoint &p : allan.points) {
        if (p.m < lo || p.m > hi)
            continue;
        const double x = std::log(p.tau), y = std::log(p.adev);
        sx += x, sy += y, sxx += x * x, sxy += x * y, n += 1;
    }
    return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}

// Every point within three of its own 68 % half-widths (in logs) of sigma / sqrt(m).
void ExpectWhiteAllan(const AllanDeviation &allan, double sigma, uint64_t samples) {
    ASSERT_FALSE(allan.points.empty());
    EXPECT_EQ(allan.points.front().m, 1u);
    EXPECT_LE(allan.points.back().m, samples / 3);
    EXPECT_GT(allan.points.back().m * 2, samples / 3);
    for (const AllanPoint &p : allan.points) {
        const double expected = sigma / std::sqrt(double(p.m));
        const double halfWidth = 0.5 * std::log(p.high / p.low);
        EXPECT_LT(p.low, p.adev);
        EXPECT_GT(p.high, p.adev);
        EXPECT_LE(std::abs(std::log(p.adev / expected)), 3 * halfWidth)
            << "m " << p.m << " adev " << p.adev << " expected " << expected;
    }
}

} // namespace

TEST(RunAnalysis, WhiteNoiseGivesItsLevelAndSlopeMinusHalf) {
    constexpr size_t kCount = 1 << 18;
    constexpr double kRate = 100.0, kSigma = 20.0;
    const std::vector<int32_t> codes = testrec::Record(kCount, 1000, kSigma, 0, 0, 11);
    MemorySource source(codes, kRate);
    const Figures f = Analyze(source, kRate);
    // Rounding to whole codes adds a twelfth of a code squared.
    const double variance = kSigma * kSigma + 1.0 / 12;

    const NoiseDensity &d = f.analysis.density;
    EXPECT_EQ(d.segmentLength, 32768u); // 2^15 = N / 8
    EXPECT_EQ(d.segments, 15u);
    EXPECT_DOUBLE_EQ(d.binHz, kRate / 32768);
    ASSERT_TRUE(d.whiteLevel);
    // Some 11000 bins of 15 segments each: the mean is good to well under a percent.
    EXPECT_NEAR(*d.whiteLevel / (variance * 2 / kRate), 1.0, 0.03);
    EXPECT_FALSE(d.cornerHz);

    ExpectWhiteAllan(f.analysis.allan, std::sqrt(variance), kCount);
    EXPECT_NEAR(f.analysis.allan.whiteCoefficient / std::sqrt(variance / kRate), 1.0, 0.03);
    EXPECT_NEAR(f.analysis.stdDevCodes, std::sqrt(variance), 0.1);
    EXPECT_TRUE(f.analysis.histogram.fit.valid);
    EXPECT_NEAR(f.analysis.histogram.fit.sigma, kSigma, 0.5);
}

TEST(RunAnalysis, RandomWalkRisesWithSlopePlusHalf) {
    constexpr size_t kCount = 1 << 18;
    const std::vector<int32_t> codes = RandomWalk(kCount, 5.0, 0.0, 3);
    MemorySource source(codes, 10.0);
    const Figures f = Analyze(source, 10.0);
    EXPECT_NEAR(AllanSlope(f.analysis.allan, 4, kCount / 64), 0.5, 0.08);
    // A density falling as 1/f^2 has no white floor, so neither level nor corner.
    EXPECT_FALSE(f.analysis.density.whiteLevel);
    EXPECT_FALSE(f.analysis.density.cornerHz);
}

TEST(RunAnalysis, CornerOfRandomWalkUnderWhiteNoise) {
    // A walk of steps q under white noise of sigma: the densities 2 q fs / (2 pi f)^2 and
    // 2 sigma^2 / fs meet at fs / (2 pi) * q / sigma.
    constexpr size_t kCount = 1 << 18;
    constexpr double kRate = 100.0, kSigma = 40.0, kCorner = 0.5;
    const double step = kCorner * 2 * std::numbers::pi / kRate * kSigma;
    const std::vector<int32_t> codes = RandomWalk(kCount, step, kSigma, 5);
    MemorySource source(codes, kRate);
    const Figures f = Analyze(source, kRate);
    ASSERT_TRUE(f.analysis.density.cornerHz);
    EXPECT_NEAR(*f.analysis.density.cornerHz / kCorner, 1.0, 0.15);
    ASSERT_TRUE(f.analysis.density.whiteLevel);
    EXPECT_NEAR(*f.analysis.density.whiteLevel / (kSigma * kSigma * 2 / kRate), 1.0, 0.05);
}

TEST(RunAnalysis, StraightLineGivesItsDriftExactly) {
    // 1 code per sample at 10 samples per second: 10 codes per second.
    std::vector<int32_t> codes(100000);
    for (size_t i = 0; i < codes.size(); ++i)
        codes[i] = static_cast<int32_t>(-50000 + i);
    MemorySource source(codes, 10.0);
    std::string error;
    const std::optional<RunSummary> summary = SummarizeRun(source, 10.0, nullptr, error);
    ASSERT_TRUE(summary);
    EXPECT_NEAR(summary->drift.slopeCodesPerSecond, 10.0, 1e-9);
    EXPECT_NEAR(summary->drift.slopeErrorCodesPerSecond, 0.0, 1e-9);
    EXPECT_NEAR(summary->drift.residualRmsCodes, 0.0, 1e-2); // of a 10^5-code span
    EXPECT_EQ(summary->minimum, -50000);
    EXPECT_EQ(summary->maximum, 49999);
    // 10 codes/s of 1 uV each is 36000 uV per hour.
    EXPECT_NEAR(MicrovoltsPerHour(summary->drift.slopeCodesPerSecond, 1e-6), 36000.0, 1e-6);
}

TEST(RunAnalysis, DetrendingTakesTheDriftOutOfEveryFigure) {
    constexpr size_t kCount = 1 << 17;
    constexpr double kRate = 50.0, kSigma = 10.0;
    std::vector<int32_t> codes = testrec::Record(kCount, 0, kSigma, 0, 0, 17);
    for (size_t i = 0; i < codes.size(); ++i)
        codes[i] += static_cast<int32_t>(i / 16); // 3.125 codes per second
    MemorySource source(codes, kRate);
    const Figures raw = Analyze(source, kRate, false);
    const Figures flat = Analyze(source, kRate, true);
    EXPECT_NEAR(raw.summary.drift.slopeCodesPerSecond, kRate / 16, 0.01);
    EXPECT_GT(raw.summary.drift.slopeErrorCodesPerSecond, 0.0);
    EXPECT_GT(raw.analysis.allan.points.back().adev, 20 * kSigma / std::sqrt(kCount / 3.0));
    ExpectWhiteAllan(flat.analysis.allan, std::sqrt(kSigma * kSigma + 2.0 / 12), kCount);
    EXPECT_GT(raw.analysis.stdDevCodes, 100.0);
    EXPECT_NEAR(flat.analysis.stdDevCodes, kSigma, 0.2);
    EXPECT_NEAR(flat.analysis.histogram.fit.sigma, kSigma, 0.5);
}

TEST(RunAnalysis, NothingSpansAGap) {
    // Two halves 10^6 codes apart with a gap between: a segment or an Allan term across the
    // gap would see the jump.
    constexpr size_t kHalf = 1 << 16;
    constexpr double kRate = 20.0, kSigma = 5.0;
    std::vector<int32_t> codes = testrec::Record(2 * kHalf, 0, kSigma, 0, 0, 23);
    for (size_t i = kHalf; i < codes.size(); ++i)
        codes[i] += 1000000;
    PiecedSource source(codes, {kHalf, kHalf}, 5000, kRate);
    const Figures f = Analyze(source, kRate);
    const double variance = kSigma * kSigma + 1.0 / 12;
    ASSERT_TRUE(f.analysis.density.whiteLevel);
    EXPECT_NEAR(*f.analysis.density.whiteLevel / (variance * 2 / kRate), 1.0, 0.05);
    EXPECT_EQ(f.analysis.density.segments, 14u); // 7 in each half of 2^16 with 2^14 per segment
    const AllanDeviation &allan = f.analysis.allan;
    for (const AllanPoint &p : allan.points) {
        if (p.m * 2 > kHalf)
            continue;
        const double expected = std::sqrt(variance / double(p.m));
        EXPECT_LE(std::abs(std::log(p.adev / expected)), 1.5 * std::log(p.high / p.low))
            << "m " << p.m;
    }
    // Octaves longer than half a piece have no term.
    EXPECT_LE(allan.points.back().m * 2, kHalf);
}

TEST(RunAnalysis, PyramidColumnsHoldTheExtremesOfTheirSamples) {
    const std::vector<int32_t> codes = testrec::Record(100003, 0, 1000, 0, 0, 29);
    MinMaxPyramid pyramid;
    pyramid.add(std::span(codes).first(40000));
    pyramid.add(std::span(codes).subspan(40000));
    pyramid.finish();
    struct View {
        uint64_t first, last;
        size_t columns;
    };
    for (const View v : {View{0, 100003, 800}, View{5000, 90000, 300}, View{64, 6464, 100},
                         View{99000, 100003, 10}, View{0, 100003, 3}}) {
        const std::vector<MinMaxColumn> columns = pyramid.columns(v.first, v.last, v.columns);
        ASSERT_FALSE(columns.empty());
        EXPECT_LE(columns.size(), v.columns * 4 / 3 + 2);
        EXPECT_LE(columns.front().first, v.first);
        EXPECT_GE(columns.back().first + columns.back().count, std::min<uint64_t>(v.last, 100003));
        for (const MinMaxColumn &c : columns) {
            const auto begin = codes.begin() + static_cast<std::ptrdiff_t>(c.first);
            const auto [lo, hi] =
                std::minmax_element(begin, begin + static_cast<std::ptrdiff_t>(c.count));
            EXPECT_EQ(c.minimum, *lo);
            EXPECT_EQ(c.maximum, *hi);
        }
    }
    // Fewer than 64 samples a column: the view reads the samples.
    EXPECT_TRUE(pyramid.columns(0, 6000, 200).empty());
}

// scipy.signal.welch of the same samples with the same segment, half overlap, periodic Hann,
// mean taken out per segment, density scaling.
TEST(RunAnalysis, WelchAgreesWithScipy) {
    if (std::system("/usr/bin/python3 -c 'import scipy.signal' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 with scipy (python3-scipy) is not installed";
    std::vector<int32_t> codes = testrec::Record(40000, 300, 7, 2000, 1234, 31);
    for (size_t i = 0; i < codes.size(); ++i)
        codes[i] += static_cast<int32_t>(i / 100);
    constexpr double kRate = 250.0;
    MemorySource source(codes, kRate);
    Baseline baseline;
    std::string error;
    const std::optional<NoiseDensity> d = ComputeNoiseDensity(source, kRate, baseline, error);
    ASSERT_TRUE(d);
    ASSERT_EQ(d->segmentLength, 4096u); // 2^12 < 40000 / 8 = 5000 < 5 x 2^10 = 5120

    char folder[] = "/tmp/pellorin-welch-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string in = std::string(folder) + "/codes.txt";
    const std::string out = std::string(folder) + "/psd.txt";
    {
        std::ofstream file(in);
        for (int32_t c : codes)
            file << c << '\n';
    }
    std::ostringstream command;
    command << "/usr/bin/python3 -c \"import numpy, scipy.signal; "
            << "x = numpy.loadtxt('" << in << "'); "
            << "f, p = scipy.signal.welch(x, fs=" << kRate << ", window='hann', nperseg=4096, "
            << "noverlap=2048, detrend='constant', scaling='density'); "
            << "numpy.savetxt('" << out << "', p)\"";
    ASSERT_EQ(std::system(command.str().c_str()), 0);
    std::ifstream result(out);
    std::vector<double> scipy;
    for (double v; result >> v;)
        scipy.push_back(v);
    std::remove(in.c_str());
    std::remove(out.c_str());
    rmdir(folder);
    ASSERT_EQ(scipy.size(), d->powerDensity.size());
    for (size_t k = 1; k < scipy.size(); ++k)
        ASSERT_LT(std::abs(10 * std::log10(d->powerDensity[k] / scipy[k])), 0.5) << "bin " << k;
}

// The four-step transform of a long segment against kissfft's own real transform, for lengths
// whose half is a square, twice a square, and has a factor 3 or 5.
TEST(RunAnalysis, SegmentPowerMatchesTheDirectTransform) {
    for (size_t n : {size_t(64), size_t(2048), size_t(8192), size_t(3 * 1024), size_t(5 * 4096)}) {
        testrec::Gaussian g(static_cast<uint32_t>(n));
        std::vector<double> x(n);
        for (double &v : x)
            v = 100 * g.next() + 3;
        std::vector<std::complex<double>> direct(n / 2);
        kissfft<double>(n / 2, false).transform_real(x.data(), direct.data());
        std::vector<double> sums(n / 2 + 1, 1.0);
        analysis::SegmentPower(n).add(x, sums);
        EXPECT_NEAR(sums[0] - 1, direct[0].real() * direct[0].real(), 1e-6 * sums[0]) << n;
        EXPECT_NEAR(sums[n / 2] - 1, direct[0].imag() * direct[0].imag(), 1e-6 * sums[n / 2]) << n;
        for (size_t k = 1; k < n / 2; ++k)
            ASSERT_NEAR(sums[k] - 1, std::norm(direct[k]), 1e-9 * n * 1e4) << n << " bin " << k;
    }
}

// The floor is named only where the curve has one: white noise under a random walk has its
// minimum, sqrt(2 sigma q / sqrt 3) codes at m = sqrt 3 sigma / q, well inside the run; white
// noise alone still falls at the longest tau however low its last points; a walk alone rises
// from the start; a run of eight samples has no point to trust.
TEST(RunAnalysis, AllanFloorOnlyWhereTheCurveHasOne) {
    using Kind = AllanFloor::Kind;
    const struct {
        const char *name;
        size_t count;
        double step, white;
        Kind kind;
        double floorCodes; // 0: not a floor
    } cases[] = {
        {"white under a walk", 1 << 18, 0.5, 100.0, Kind::Floor, std::sqrt(100.0 / std::sqrt(3.0))},
        {"white alone", 1 << 16, 0.0, 30.0, Kind::StillFalling, 0},
        {"walk alone", 1 << 16, 5.0, 0.0, Kind::LowestAtStart, 0},
        {"eight samples", 8, 0.0, 30.0, Kind::TooFewDegrees, 0},
    };
    for (const auto &c : cases) {
        const std::vector<int32_t> codes = RandomWalk(c.count, c.step, c.white, 7);
        MemorySource source(codes, 10.0);
        std::string error;
        const std::optional<AllanDeviation> allan =
            ComputeAllanDeviation(source, 10.0, Baseline{}, error);
        ASSERT_TRUE(allan) << error;
        const AllanFloor floor = FindAllanFloor(*allan);
        EXPECT_EQ(floor.kind, c.kind) << c.name;
        if (c.floorCodes > 0 && floor.kind == Kind::Floor) {
            const AllanPoint &p = allan->points[floor.index];
            EXPECT_NEAR(p.adev / c.floorCodes, 1.0, 0.15) << c.name;
            EXPECT_GE(p.edf, kFloorEdf);
            const double best = std::sqrt(3.0) * c.white / c.step;
            EXPECT_NEAR(std::log2(double(p.m) / best), 0.0, 1.01) << c.name; // within an octave
        }
    }
}
