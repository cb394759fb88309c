#include "analysis/axis_range.h"
#include "analysis/histogram.h"
#include "analysis/noise_figures.h"
#include "analysis/volts_text.h"
#include "conversion/conversion_facts.h"
#include "synthetic_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using analysis::ComputeNoiseFigures;
using analysis::NoiseFigures;

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct FiguresCase {
    const char *name;
    std::vector<int32_t> samples;
    double mean, stdDev;
    int32_t minimum, maximum;
    int64_t peakToPeak;
    double effectiveBits, noiseFreeBits, skewness, excessKurtosis;
    int64_t clipped; // samples at either code limit
};

void ExpectNear(double actual, double expected, double tolerance, const char *what) {
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual)) << what << " = " << actual;
    else if (std::isinf(expected))
        EXPECT_EQ(actual, expected) << what;
    else
        EXPECT_NEAR(actual, expected, tolerance) << what;
}

class FiguresTable : public ::testing::TestWithParam<FiguresCase> {};
} // namespace

// Worked by hand: the deviations of {2,4,4,4,5,5,7,9} from 5 are -3,-1,-1,-1,0,0,2,4; their
// squares, cubes and fourth powers add up to 32, 42 and 356.
INSTANTIATE_TEST_SUITE_P(
    HandComputed, FiguresTable,
    ::testing::Values(
        FiguresCase{"constant", {5, 5, 5, 5}, 5, 0, 5, 5, 0, kInf, kInf, kNaN, kNaN, 0},
        FiguresCase{"twoLevel", {-1, 1, -1, 1}, 0, 1, -1, 1, 2, 24, 23, 0, -2, 0},
        FiguresCase{"knownSet",
                    {2, 4, 4, 4, 5, 5, 7, 9},
                    5,
                    2,
                    2,
                    9,
                    7,
                    23,
                    24 - std::log2(7.0),
                    42.0 / 8 / 8,
                    356.0 / 8 / 16 - 3,
                    0},
        // Near the top of the code range the noise of one code must not be lost.
        FiguresCase{"highOffset",
                    {8388607, 8388605, 8388607, 8388605},
                    8388606,
                    1,
                    8388605,
                    8388607,
                    2,
                    24,
                    23,
                    0,
                    -2,
                    2},
        FiguresCase{"fullSwing",
                    {-8388608, 8388607},
                    -0.5,
                    8388607.5,
                    -8388608,
                    8388607,
                    16777215,
                    std::log2(16777216.0 / 8388607.5),
                    std::log2(16777216.0 / 16777215.0),
                    0,
                    -2,
                    2},
        // A converter pinned at its top: no noise, and every sample clipped.
        FiguresCase{"pinnedAtTop",
                    {8388607, 8388607, 8388607},
                    8388607,
                    0,
                    8388607,
                    8388607,
                    0,
                    kInf,
                    kInf,
                    kNaN,
                    kNaN,
                    3}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_P(FiguresTable, MatchesHandComputedValues) {
    const FiguresCase &c = GetParam();
    const NoiseFigures f = ComputeNoiseFigures(c.samples);
    EXPECT_EQ(f.count, static_cast<int64_t>(c.samples.size()));
    EXPECT_NEAR(f.mean, c.mean, 1e-9);
    EXPECT_NEAR(f.stdDev, c.stdDev, 1e-9);
    EXPECT_EQ(f.minimum, c.minimum);
    EXPECT_EQ(f.maximum, c.maximum);
    EXPECT_EQ(f.peakToPeak, c.peakToPeak);
    ExpectNear(f.effectiveBits, c.effectiveBits, 1e-9, "effective bits");
    ExpectNear(f.noiseFreeBits, c.noiseFreeBits, 1e-9, "noise-free bits");
    ExpectNear(f.skewness, c.skewness, 1e-12, "skewness");
    ExpectNear(f.excessKurtosis, c.excessKurtosis, 1e-12, "excess kurtosis");
    EXPECT_EQ(f.clipped, c.clipped);
    EXPECT_EQ(f.noNoise(), c.peakToPeak == 0);
}

TEST(NoiseFigures, ClippedRecordIsToldInOneSentence) {
    const auto text = [](std::vector<int32_t> samples) {
        const NoiseFigures f = ComputeNoiseFigures(samples);
        return analysis::ClippedText(f.clipped, f.count);
    };
    EXPECT_EQ(text({1, 2, 3}), "");
    EXPECT_EQ(text({-8388608, 0, 5, 8388607, 8388606}),
              "Clipped: 2 of 5 samples at the code limits");
}

TEST(NoiseFigures, EmptyRecordGivesNoFigures) {
    const NoiseFigures f = ComputeNoiseFigures({});
    EXPECT_EQ(f.count, 0);
    EXPECT_EQ(f.stdDev, 0.0);
}

namespace {
// The expected range of n draws from N(0, 1): the integral of 1 - P(all below x) - P(all
// above x) over x.
double ExpectedGaussianRange(int n) {
    double sum = 0;
    const double step = 1e-3;
    for (double x = -12; x <= 12; x += step) {
        const double below = 0.5 * std::erfc(-x / std::sqrt(2.0));
        sum += (1.0 - std::pow(below, n) - std::pow(1.0 - below, n)) * step;
    }
    return sum;
}
} // namespace

TEST(NoiseFigures, GaussianRecordResolutionsMatchTheory) {
    constexpr int kCount = 65535;
    constexpr double kSigma = 40.0;
    const std::vector<int32_t> record = testrec::Record(kCount, -123456, kSigma, 0, 0, 2024);
    const NoiseFigures f = ComputeNoiseFigures(record);
    // Rounding to whole codes adds a twelfth of a code squared.
    const double sigma = std::sqrt(kSigma * kSigma + 1.0 / 12);
    EXPECT_NEAR(f.effectiveBits, std::log2(16777216.0 / sigma), 0.05);
    EXPECT_NEAR(f.noiseFreeBits, std::log2(16777216.0 / (kSigma * ExpectedGaussianRange(kCount))),
                0.05);
    EXPECT_NEAR(f.skewness, 0.0, 0.05);
    EXPECT_NEAR(f.excessKurtosis, 0.0, 0.1);
}

TEST(Histogram, EverySampleFallsInABin) {
    const std::vector<int32_t> record{3, 3, 4, 6, 6, 6};
    const analysis::Histogram h = analysis::MakeHistogram(record);
    EXPECT_EQ(h.firstCode, 3);
    EXPECT_EQ(h.binWidth, 1);
    EXPECT_EQ(h.counts, (std::vector<uint32_t>{2, 1, 0, 3}));

    const std::vector<int32_t> wide{-8388608, 0, 8388607};
    const analysis::Histogram w = analysis::MakeHistogram(wide, 256);
    EXPECT_EQ(w.binWidth, 65536);
    ASSERT_EQ(w.counts.size(), 256u);
    EXPECT_EQ(w.counts.front(), 1u);
    EXPECT_EQ(w.counts[128], 1u);
    EXPECT_EQ(w.counts.back(), 1u);
}

TEST(Histogram, ConstantRecordHasNoFit) {
    const analysis::Histogram h = analysis::MakeHistogram(std::vector<int32_t>(100, 42));
    ASSERT_EQ(h.counts.size(), 1u);
    EXPECT_FALSE(h.fit.valid);
}

// One code per bin, and codes grouped several to a bin.
class HistogramFit : public ::testing::TestWithParam<double> {};
INSTANTIATE_TEST_SUITE_P(Sigmas, HistogramFit, ::testing::Values(6.0, 40.0, 3000.0));

TEST_P(HistogramFit, FittedSigmaWithinOnePercentOfTheRecord) {
    const std::vector<int32_t> record = testrec::Record(65535, 5000, GetParam(), 0, 0, 99);
    const NoiseFigures f = ComputeNoiseFigures(record);
    const analysis::Histogram h = analysis::MakeHistogram(record);
    ASSERT_TRUE(h.fit.valid);
    EXPECT_NEAR(h.fit.sigma / f.stdDev, 1.0, 0.01) << "bin width " << h.binWidth;
    EXPECT_NEAR(h.fit.mean, f.mean, f.stdDev * 0.02);
}

// The span from reference, gain and span per reference; a reference given replaces the
// chip's default and says so; an unknown gain gives no volts at all.
TEST(Scale, FullScaleRangeAndVoltsPerCode) {
    conversion::ConversionFacts facts;
    facts.referenceRange = {2.5, 0.5, 2.6};
    facts.pgaGain = 64;
    facts.spanPerReference = 4;
    const conversion::ConversionFacts byDefault = conversion::WithReference(facts, std::nullopt);
    EXPECT_DOUBLE_EQ(byDefault.spanVolts, 10.0 / 64);
    EXPECT_DOUBLE_EQ(byDefault.voltsPerCode, 10.0 / 64 / 16777216.0);
    EXPECT_EQ(byDefault.referenceSource, conversion::ReferenceSource::Default);
    const conversion::ConversionFacts given = conversion::WithReference(facts, 1.25);
    EXPECT_DOUBLE_EQ(given.spanVolts, 5.0 / 64);
    EXPECT_EQ(given.referenceSource, conversion::ReferenceSource::Given);
    facts.pgaGain = 0;
    EXPECT_DOUBLE_EQ(conversion::WithReference(facts, std::nullopt).voltsPerCode, 0.0);
}

// Volts as shown: three significant digits in the unit that gives them, the sign kept, the
// spread of repeats or a slope's error in the same unit and to the same place.
TEST(VoltsText, ThreeSignificantDigitsInTheirUnit) {
    const struct {
        double volts;
        double spread;
        const char *per;
        const char *expected;
    } cases[] = {
        {1.9073e-8, 0, "", "19.1 nV"},         // a 2-channel chip's noise at high gain
        {1.1920929e-6, 0, "", "1.19 \u00B5V"}, // two codes of a 10 V range
        {-2.5, 0, "", "-2.50 V"},
        {0.5, 0, "", "500 mV"},
        {999.96e-6, 0, "", "1.00 mV"}, // rounds up into the next unit
        {4.2e-10, 0, "", "0.420 nV"},  // below a nanovolt stays in nanovolts
        {0, 0, "", "0 V"},
        {-1e-12 / 3, 0, "", "-0.000333 nV"},
        {std::nan(""), 0, "", "-"},
        {3.24e-7, 0, "/\u221AHz", "324 nV/\u221AHz"},
        {3.8e-6, 0.424264e-6, "/h", "3.80 \u00B1 0.42 \u00B5V/h"},
        {1.4e-4, 2.2e-4, "/h", "140 \u00B1 220 \u00B5V/h"}, // a slope within its error
        {5.12e-7, 2.1e-8, "", "512 \u00B1 21 nV"},
        {2.5000001, 5e-8, "", "2.500000100 \u00B1 0.000000050 V"},
        {-0.0, 0, "/h", "0 V/h"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(analysis::FormatVoltsWithSpread(c.volts, c.spread, c.per), c.expected)
            << c.volts << " " << c.spread;
}

// Tick steps are 1, 2 or 5 times a power of ten and no more ticks than fit; the first tick is
// a whole multiple of the step. Records of 24-bit codes, spectra in hertz, counts, dBFS.
TEST(AxisRange, RoundTicksThatFit) {
    const struct {
        double min, max;
        int maxTicks;
        double step, first;
        int decimals;
    } cases[] = {
        {0, 65534, 8, 10000, 0, 0},
        {-8388609, 8388608, 6, 5e6, -5e6, 0},
        {-1997050, 2003207.5, 6, 1e6, -1e6, 0},
        {-1997050, 2003207.5, 5, 2e6, 0, 0}, // the tick at zero is 0, not -0
        {0, 500, 11, 50, 0, 0},
        {6143.05, 6143.3, 4, 0.1, 6143.1, 1},
        {-200, 0, 5, 50, -200, 0},
        {-0.013, 0.021, 8, 0.005, -0.01, 3},
        {3, 3, 5, 0, 3, 0}, // an empty range has no step
    };
    for (const auto &c : cases) {
        const analysis::AxisRange range{c.min, c.max};
        const double step = analysis::NiceTickStep(range, c.maxTicks);
        EXPECT_DOUBLE_EQ(step, c.step) << c.min << ".." << c.max;
        EXPECT_NEAR(analysis::FirstTick(range, step), c.first, 1e-9 * std::max(1.0, c.step));
        EXPECT_EQ(analysis::TickDecimals(step), c.decimals) << step;
        if (step > 0) {
            EXPECT_LE(std::floor(range.span() / step) + 1, c.maxTicks);
        }
    }
}

// A log axis labels every decade where they fit, else every second, third ... decade: nine
// decades of 50-pixel labels in 200 pixels get one every third decade (0, 3, 6, 9).
TEST(AxisRange, LogLabelsSkipDecadesToFit) {
    const struct {
        double decades, room, label;
        int expected;
    } cases[] = {
        {4, 600, 50, 1}, {4, 200, 50, 2}, {9, 200, 50, 3},
        {7, 180, 50, 3}, {0, 100, 50, 1}, {2, 20, 50, 3},
    };
    for (const auto &c : cases)
        EXPECT_EQ(analysis::DecadesPerLabel(c.decades, c.room, c.label), c.expected)
            << c.decades << " decades in " << c.room;
}

// The wheel and the keys zoom about a value that keeps its place, and no view leaves the data:
// zooming out past the whole shows the whole, never a stretch beyond either end.
TEST(AxisRange, ZoomAndPanStayWithinTheData) {
    const analysis::AxisRange full{0, 500};
    const struct {
        analysis::AxisRange view;
        double at, factor;
        analysis::AxisRange expected;
    } zooms[] = {
        {{0, 500}, 100, 2, {50, 300}},      // closer: 100 Hz stays a fifth of the way along
        {{50, 300}, 100, 0.5, {0, 500}},    // and back
        {{0, 500}, 400, 0.25, {0, 500}},    // farther than the whole: the whole
        {{400, 500}, 480, 0.5, {300, 500}}, // at the top end: moved back inside
        {{0, 100}, -50, 2, {0, 50}},        // a pointer left of the plot zooms at its edge
    };
    for (const auto &z : zooms)
        EXPECT_EQ(analysis::ZoomAbout(z.view, z.at, z.factor, full), z.expected)
            << z.view.min << ".." << z.view.max << " at " << z.at;
    EXPECT_EQ(analysis::PanWithin({400, 480}, 50, full), (analysis::AxisRange{420, 500}));
    EXPECT_EQ(analysis::PanWithin({20, 120}, -50, full), (analysis::AxisRange{0, 100}));
    EXPECT_EQ(analysis::KeepWithin({-10382, -782}, full), (analysis::AxisRange{0, 500}));
}
