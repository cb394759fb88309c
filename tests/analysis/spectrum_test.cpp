#include "analysis/envelope.h"
#include "analysis/record_csv.h"
#include "analysis/sample_times.h"
#include "analysis/spectrum.h"
#include "synthetic_records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <ostream>
#include <string>

using analysis::ComputeSpectrum;
using analysis::Spectrum;
using analysis::WindowKind;

namespace {
class EachWindow : public ::testing::TestWithParam<WindowKind> {};
INSTANTIATE_TEST_SUITE_P(Windows, EachWindow,
                         ::testing::Values(WindowKind::Hann, WindowKind::BlackmanHarris4),
                         [](const auto &info) {
                             return info.param == WindowKind::Hann ? "Hann" : "BlackmanHarris4";
                         });
} // namespace

TEST(Spectrum, FftLengthsKeepEverySample) {
    EXPECT_EQ(analysis::FastFftLength(65536), 65536u);
    EXPECT_EQ(analysis::FastFftLength(65535), 65536u); // 3 * 5 * 17 * 257: padded
    EXPECT_EQ(analysis::FastFftLength(45), 45u);
    EXPECT_EQ(analysis::FastFftLength(7), 8u);
    EXPECT_EQ(analysis::FastFftLength(1000), 1000u);
}

TEST(Spectrum, TooShortARecordHasNoSpectrum) {
    EXPECT_EQ(ComputeSpectrum(std::vector<int32_t>{1, 2, 3}, WindowKind::Hann, 10).fftLength, 0u);
}

// An ideal 24-bit converter: a full-scale sine with only its rounding to codes.
TEST_P(EachWindow, PureSineReachesTheIdealSnr) {
    const std::vector<int32_t> record = testrec::Record(65536, 0, 0, 8388607, 2731);
    const Spectrum s = ComputeSpectrum(record, GetParam(), 1000.0);
    ASSERT_TRUE(s.tone.has_value());
    EXPECT_NEAR(s.tone->snrDb, 6.02 * 24 + 1.76, 0.5);
    EXPECT_NEAR(s.tone->amplitudeDbfs, 0.0, 0.01);
    EXPECT_NEAR(s.tone->frequencyHz, 2731 * 1000.0 / 65536, s.binHz * 0.1);
    EXPECT_NEAR(s.tone->enob, 24.0, 0.1);
}

// An odd length (zero-padded), a tone off the bin grid and Gaussian noise of known size.
TEST_P(EachWindow, SineWithNoiseGivesTheExpectedSnr) {
    constexpr double kAmplitude = 4194304; // -6 dBFS
    constexpr double kSigma = 200;
    const std::vector<int32_t> record =
        testrec::Record(65535, 1500, kSigma, kAmplitude, 5123.37, 11);
    const Spectrum s = ComputeSpectrum(record, GetParam(), 30000.0);
    EXPECT_TRUE(s.zeroPadded());
    ASSERT_TRUE(s.tone.has_value());
    const double expected =
        10 * std::log10(kAmplitude * kAmplitude / 2 / (kSigma * kSigma + 1.0 / 12));
    EXPECT_NEAR(s.tone->snrDb, expected, 0.5);
    EXPECT_NEAR(s.tone->amplitudeDbfs, 20 * std::log10(0.5), 0.05);
    EXPECT_NEAR(s.tone->frequencyHz, 5123.37 * 30000.0 / 65535, s.binHz);
    // Gaussian noise has no harmonics: SINAD is SNR, THD sits far below.
    EXPECT_NEAR(s.tone->sinadDb, s.tone->snrDb, 0.5);
    EXPECT_LT(s.tone->thdDb, -s.tone->snrDb + 10);
}

TEST_P(EachWindow, WhiteNoiseHasNoToneAndItsDensity) {
    constexpr double kSigma = 25;
    constexpr double kRate = 1000;
    const std::vector<int32_t> record = testrec::Record(65535, -20, kSigma, 0, 0, 5);
    const Spectrum s = ComputeSpectrum(record, GetParam(), kRate);
    EXPECT_FALSE(s.tone.has_value());
    // White noise of variance sigma^2 spreads over fs / 2.
    const double density = std::sqrt((kSigma * kSigma + 1.0 / 12) / (kRate / 2));
    EXPECT_NEAR(s.noiseDensityCodes / density, 1.0, 0.03);
    // The bins add up to the record's variance, padded or not.
    const double total = std::accumulate(s.power.begin(), s.power.end(), 0.0);
    EXPECT_NEAR(total / (kSigma * kSigma), 1.0, 0.03);
}

// A tone anywhere from a few bins above DC to a few below Nyquist, on a bin and between two,
// with and without a DC offset, under a little noise: found, placed and measured. What is
// left of DC must not take a low tone's lobe for its own.
namespace {
struct ToneCase {
    double cycles;
    WindowKind window;
    double offset;
};

std::string ToneCaseName(const ::testing::TestParamInfo<ToneCase> &info) {
    const ToneCase &c = info.param;
    std::string name = std::to_string(static_cast<int>(c.cycles * 100)) + "centibins_";
    name += c.window == WindowKind::Hann ? "Hann" : "BlackmanHarris4";
    return name + (c.offset != 0 ? "_Offset" : "_NoOffset");
}

void PrintTo(const ToneCase &c, std::ostream *out) {
    *out << c.cycles << " cycles, " << (c.window == WindowKind::Hann ? "Hann" : "Blackman-Harris")
         << ", offset " << c.offset;
}

class LowAndHighTones : public ::testing::TestWithParam<ToneCase> {};
} // namespace

TEST_P(LowAndHighTones, AreFoundPlacedAndMeasured) {
    constexpr size_t kCount = 4096;
    constexpr double kAmplitude = 1e6; // about -18.5 dBFS
    constexpr double kSigma = 30;
    const ToneCase &c = GetParam();
    const std::vector<int32_t> record =
        testrec::Record(kCount, c.offset, kSigma, kAmplitude, c.cycles, 23);
    const Spectrum s = ComputeSpectrum(record, c.window, double(kCount));
    ASSERT_TRUE(s.tone.has_value());
    EXPECT_NEAR(s.tone->frequencyHz, c.cycles, 0.5);
    const double expected =
        10 * std::log10(kAmplitude * kAmplitude / 2 / (kSigma * kSigma + 1.0 / 12));
    EXPECT_NEAR(s.tone->snrDb, expected, 0.5);
}

namespace {
std::vector<ToneCase> ToneCases() {
    std::vector<ToneCase> cases;
    for (double bin : {3.0, 5.0, 7.0, 10.0, 50.0, 4096 / 4.0, 4096 / 2.0 - 3})
        for (double fraction : {0.0, 0.45})
            for (WindowKind window : {WindowKind::Hann, WindowKind::BlackmanHarris4})
                for (double offset : {0.0, 2.5e6})
                    cases.push_back({bin + fraction, window, offset});
    return cases;
}
} // namespace

INSTANTIATE_TEST_SUITE_P(Spectrum, LowAndHighTones, ::testing::ValuesIn(ToneCases()), ToneCaseName);

TEST(Spectrum, HarmonicsShowInThd) {
    // A tone with a second harmonic 60 dB below it.
    std::vector<int32_t> record(16384);
    for (size_t n = 0; n < record.size(); ++n) {
        const double a = 2 * std::numbers::pi * 301 * double(n) / double(record.size());
        record[n] = static_cast<int32_t>(std::lround(4e6 * std::sin(a) + 4e3 * std::sin(2 * a)));
    }
    const Spectrum s = ComputeSpectrum(record, WindowKind::Hann, 1.0);
    ASSERT_TRUE(s.tone.has_value());
    EXPECT_NEAR(s.tone->thdDb, -60.0, 0.2);
    EXPECT_NEAR(s.tone->sfdrDb, 60.0, 0.5);
    EXPECT_NEAR(s.tone->sinadDb, 60.0, 0.2);
}

TEST(Envelope, KeepsEverySpike) {
    std::vector<double> y(10000, 0.0);
    y[1234] = 50;
    y[8765] = -70;
    const auto points = analysis::MinMaxEnvelope(y, 0, 1, 0, y.size(), 100);
    EXPECT_LE(points.size(), 200u);
    bool high = false, low = false;
    for (const auto &p : points) {
        high |= p.y == 50 && p.x == 1234;
        low |= p.y == -70 && p.x == 8765;
    }
    EXPECT_TRUE(high);
    EXPECT_TRUE(low);
    // A short run comes back point for point.
    EXPECT_EQ(analysis::MinMaxEnvelope(y, 0, 1, 10, 20, 100).size(), 10u);
}

TEST(RecordCsv, OneLinePerSampleWithTimeAndVoltsAndTheTimeRuleNamed) {
    const std::vector<int32_t> samples{0, -2, 8388607};
    EXPECT_EQ(analysis::RecordCsv(samples, 10.0, 0.5),
              "# time_s: index / data rate\nindex,time_s,code,volts\n0,0,0,0\n1,0.1,-2,-1\n2,0.2,"
              "8388607,4194303.5\n");
    EXPECT_EQ(analysis::RecordCsv(samples, 0, 0),
              "# time_s: empty, the data rate is not known\nindex,time_s,code,volts\n0,,0,\n1,,-2,"
              "\n2,,8388607,\n");
    // Arrival times, where there are some for every sample, win over the rate.
    const std::vector<double> arrivals{0.25, 0.5, 0.75};
    EXPECT_EQ(analysis::RecordCsv(samples, 10.0, 0, arrivals),
              std::string("# time_s: ") + analysis::kArrivalTimeRule +
                  "\nindex,time_s,code,volts\n0,0.25,0,\n1,0.5,-2,\n2,0.75,8388607,\n");
}

TEST(SampleTimes, APieceIsSpreadEvenlyBackToTheOneBefore) {
    const struct {
        double anchor, end;
        std::vector<double> times;
    } cases[] = {
        {1.0, 2.0, {2.0}},                  // one sample: at its arrival
        {1.0, 2.0, {1.25, 1.5, 1.75, 2.0}}, // a backlog spread over the time it came in
        {0.0, 0.3, {0.1, 0.2, 0.3}},        //
        {5.0, 4.0, {5.0, 5.0}},             // an end not after the anchor: no going back
    };
    for (const auto &c : cases) {
        std::vector<double> times(c.times.size(), -1.0);
        analysis::SpreadPiece(c.anchor, c.end, times);
        for (size_t k = 0; k < times.size(); ++k)
            EXPECT_NEAR(times[k], c.times[k], 1e-12) << c.anchor << " " << k;
    }
}

TEST(SampleTimes, AfterAGapAPieceIsSpreadBackOnlyToTheRestart) {
    analysis::ArrivalTimes rule(0.5);
    std::vector<double> before(2), after(4), late(1);
    rule.spread(1.0, before);
    // The board was lost at 1.0 and streams again from 11.0: spread from 1.0, the first piece
    // after the gap would put samples at 3.75, 6.5 and 9.25, where no conversion arrived.
    rule.restartAt(11.0);
    rule.spread(12.0, after);
    // A restart before the last time given never sends the times back.
    rule.restartAt(0.2);
    rule.spread(12.5, late);
    const std::vector<double> expected{0.75, 1.0, 11.25, 11.5, 11.75, 12.0, 12.5};
    std::vector<double> times = before;
    times.insert(times.end(), after.begin(), after.end());
    times.insert(times.end(), late.begin(), late.end());
    ASSERT_EQ(times.size(), expected.size());
    for (size_t k = 0; k < times.size(); ++k)
        EXPECT_NEAR(times[k], expected[k], 1e-12) << k;
}

TEST(SpectrumCsv, OneLinePerBinInHertzOrCyclesPerSample) {
    Spectrum s;
    s.binHz = 0.5;
    s.dbfs = {-100.0, -3.5};
    EXPECT_EQ(analysis::SpectrumCsv(s, true), "frequency_hz,dbfs\n0,-100.000\n0.5,-3.500\n");
    EXPECT_EQ(analysis::SpectrumCsv(s, false).substr(0, 23), "cycles_per_sample,dbfs\n");
}
