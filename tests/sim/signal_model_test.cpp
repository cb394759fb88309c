#include "model_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace simtest;
using sim::BoardModel;
using sim::Chip;

namespace {

double Mean(const std::vector<int32_t> &v) {
    double sum = 0;
    for (int32_t x : v)
        sum += x;
    return sum / v.size();
}

double StdDev(const std::vector<int32_t> &v) {
    const double m = Mean(v);
    double sum = 0;
    for (int32_t x : v)
        sum += (x - m) * (x - m);
    return std::sqrt(sum / v.size());
}

sim::SignalModel Quiet(double ain0, double ain1) {
    sim::SignalModel s;
    s.noiseVolts = 0.0;
    s.inputVolts[0] = ain0;
    s.inputVolts[1] = ain1;
    return s;
}

struct CodeCase {
    uint8_t adcon;
    double volts;
    int32_t expected;
};

class KnownInput : public ::testing::TestWithParam<CodeCase> {};

TEST_P(KnownInput, GivesTheIdealCodeWithinTolerance) {
    const CodeCase &c = GetParam();
    BoardModel model(Chip::VXC5480);
    model.setSignal(Quiet(c.volts, 0.0));
    Command(model, 0x01, 0x02, c.adcon);
    Command(model, 0x03); // self calibration at this gain
    const auto codes = AcquireSettled(model, 4);
    ASSERT_EQ(codes.size(), 4u);
    EXPECT_NEAR(codes[0], c.expected, std::abs(c.expected) * 0.001 + 2);
}

// 8-channel chip: +-2 Vref / PGA maps onto the code range, Vref = 2.5 V.
INSTANTIATE_TEST_SUITE_P(
    Vxc5480, KnownInput,
    ::testing::Values(CodeCase{0x20, 0.5, 838861}, CodeCase{0x20, -1.25, -2097152},
                      CodeCase{0x22, 0.5, 3355443}, CodeCase{0x26, 0.05, 5368709},
                      CodeCase{0x24, 0.5, 0x7FFFFF}, CodeCase{0x24, -0.5, -0x800000},
                      CodeCase{0x20, 0.0, 0}));

TEST(SignalModel, CalibrationRegistersChangeTheCodes) {
    BoardModel model(Chip::VXC5480);
    model.setSignal(Quiet(0.5, 0.0));
    const int32_t before = Acquire(model, 1).at(0);
    // Offset register up by 1000 codes: the result drops by about that much.
    const int32_t ofc = model.chipState().offsetCalibration() + 1000;
    Command(model, 0x01, 0x05, static_cast<uint8_t>(ofc));
    Command(model, 0x01, 0x06, static_cast<uint8_t>(ofc >> 8));
    Command(model, 0x01, 0x07, static_cast<uint8_t>(ofc >> 16));
    const int32_t offsetShifted = Acquire(model, 1).at(0);
    EXPECT_NEAR(before - offsetShifted, 1000, 10);
    // About half the gain register: about half the code, in exact proportion.
    const double gainBefore = model.chipState().gainCalibration();
    Command(model, 0x01, 0x0A, 0x20);
    const double ratio = model.chipState().gainCalibration() / gainBefore;
    EXPECT_NEAR(ratio, 0.5, 0.01);
    EXPECT_NEAR(Acquire(model, 1).at(0), offsetShifted * ratio, 5);
}

TEST(SignalModel, SystemOffsetCalibrationZeroesThePresentInput) {
    BoardModel model(Chip::VXC5480);
    model.setSignal(Quiet(0.3, 0.0));
    EXPECT_GT(Acquire(model, 1).at(0), 400000);
    Command(model, 0x06);
    EXPECT_NEAR(Acquire(model, 1).at(0), 0, 1);
}

TEST(SignalModel, InputPairFollowsTheMultiplexer) {
    BoardModel model(Chip::VXC5480);
    sim::SignalModel s;
    s.noiseVolts = 0.0;
    model.setSignal(s);               // AIN n = 5 (n + 1) mV, AINCOM 0 V
    Command(model, 0x01, 0x01, 0x78); // AIN7 - AINCOM = 40 mV
    EXPECT_NEAR(AcquireSettled(model, 1).at(0), 0.04 / 5 * 8388608, 200);
    Command(model, 0x01, 0x01, 0x9F); // both halves above 8: AINCOM
    EXPECT_NEAR(AcquireSettled(model, 1).at(0), 0, 30);
}

TEST(SignalModel, SameSeedSameCodesOtherSeedOtherCodes) {
    auto run = [](uint32_t seed) {
        BoardModel model(Chip::VXC5480);
        sim::SignalModel s;
        s.seed = seed;
        model.setSignal(s);
        return Acquire(model, 50);
    };
    EXPECT_EQ(run(7), run(7));
    EXPECT_NE(run(7), run(8));
}

TEST(SignalModel, NoiseGrowsWithDataRateAndShrinksInputReferredWithGain) {
    auto noiseCodes = [](uint8_t adcon, uint8_t drate) {
        BoardModel model(Chip::VXC5480);
        sim::SignalModel s;
        s.inputVolts[0] = s.inputVolts[1] = 0.0;
        s.noiseVolts = 5e-6;
        model.setSignal(s);
        Command(model, 0x01, 0x02, adcon);
        Command(model, 0x01, 0x03, drate);
        const uint8_t pga = adcon & 7;
        return StdDev(AcquireSettled(model, 2000)) / (1 << pga); // back to gain-1 codes
    };
    const double slow = noiseCodes(0x20, 0x03);
    const double fast = noiseCodes(0x20, 0xF0);
    const double fastHighGain = noiseCodes(0x26, 0xF0);
    EXPECT_GT(slow, 0.5);
    EXPECT_GT(fast, slow * 50);
    EXPECT_LT(fastHighGain, fast * 0.5);
}

TEST(SignalModel, SineShowsItsPeakToPeak) {
    BoardModel model(Chip::VXC5480);
    sim::SignalModel s = Quiet(0.0, 0.0);
    s.sineAmplitudeVolts = 0.1;
    s.sineHz = 10.0;
    model.setSignal(s);
    Command(model, 0x01, 0x03, 0xA1); // 1000 SPS: 100 samples per period
    const auto codes = Acquire(model, 100);
    const auto [lo, hi] = std::minmax_element(codes.begin(), codes.end());
    EXPECT_NEAR(*hi - *lo, 2 * 0.1 / 5 * 8388608, 2 * 0.1 / 5 * 8388608 * 0.01);
}

TEST(SignalModel, TwoChannelChipSpansVrefOverGain) {
    BoardModel model(Chip::VXC5420);
    model.setSignal(Quiet(0.1, 0.2));
    Command(model, 0x0D, 0x04);
    Command(model, 0x01, 0x03, 0x00); // PGA 1, 10 SPS
    Command(model, 0x01, 0x01, 0x10); // AIN1 - AIN0 = 0.1 V
    EXPECT_NEAR(AcquireSettled(model, 1).at(0), 0.1 / 2.5 * 8388608, 1000);
    Command(model, 0x01, 0x01, 0x91); // inputs shorted
    EXPECT_NEAR(AcquireSettled(model, 1).at(0), 0, 50);
    Command(model, 0x0D, 0x02); // DVDD - AVDD at PGA 1
    EXPECT_NEAR(AcquireSettled(model, 1).at(0), 0.015 / 2.5 * 8388608, 300);
}

TEST(SignalModel, TwoChannelNoiseFollowsTheAppliedModesGainAndRate) {
    // Codes of noise with the inputs shorted: more with a faster rate, and more codes (though
    // less input-referred noise) with a higher gain.
    auto noiseCodes = [](int mode, uint8_t cr1) {
        BoardModel model(Chip::VXC5420);
        sim::SignalModel s = Quiet(0.0, 0.0);
        s.noiseVolts = 5e-6;
        model.setSignal(s);
        Command(model, 0x0D, static_cast<uint8_t>(mode));
        Command(model, 0x01, 0x03, cr1);
        Command(model, 0x01, 0x01, 0x80); // inputs shorted
        return StdDev(AcquireSettled(model, 2000));
    };
    const double mode1 = noiseCodes(1, 0x07); // PGA 128 / 10 SPS: CR1 does not rule
    const double mode3 = noiseCodes(3, 0x00); // PGA 128 / 40 SPS
    EXPECT_GT(mode3, mode1 * 1.6);
    EXPECT_NEAR(noiseCodes(4, 0x70), mode1, mode1 * 0.2) << "command mode at PGA 128 / 10 SPS";
    EXPECT_GT(noiseCodes(4, 0x77), mode1 * 8) << "1280 SPS";
    EXPECT_LT(noiseCodes(4, 0x00), mode1 / 8) << "PGA 1";
}

TEST(Vxc5420Pacing, FixedModesPaceAtTheirOwnRate) {
    BoardModel model(Chip::VXC5420);
    Command(model, 0x0D, 0x04);
    Command(model, 0x01, 0x03, 0x07);
    EXPECT_EQ(model.chipState().dataRateSps(), 1280.0);
    Command(model, 0x0D, 0x03);
    EXPECT_EQ(model.chipState().dataRateSps(), 40.0);
    Command(model, 0x01, 0x03, 0x07); // a CR1 write does not leave a fixed mode
    EXPECT_EQ(model.chipState().dataRateSps(), 40.0);
    EXPECT_EQ(model.chipState().pgaGain(), 128);
}

} // namespace
