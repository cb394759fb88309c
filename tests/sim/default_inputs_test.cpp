// Each virtual board starts with inputs that suit its chip: no mode of either chip clips at
// them, the 8-channel board's inputs stand apart in a scan, and the 2-channel board's noise
// is that of a bridge converter.

#include "model_helpers.h"

#include "analysis/noise_figures.h"
#include "sim/chip_registers.h"

#include <gtest/gtest.h>

#include <string>

using namespace simtest;
using sim::BoardModel;
using sim::Chip;

namespace {

constexpr int kSamples = 100;

void ExpectNoClip(BoardModel &model, const std::string &setting) {
    const std::vector<int32_t> codes = AcquireSettled(model, kSamples);
    ASSERT_EQ(codes.size(), size_t{kSamples}) << setting;
    EXPECT_EQ(analysis::ComputeNoiseFigures(codes).clipped, 0) << setting;
}

TEST(DefaultInputs, NoGainAndRateOfTheEightChannelChipClips) {
    for (uint8_t pga = 0; pga < 8; ++pga) {
        for (uint8_t rate = 0; rate < 16; ++rate) {
            BoardModel model(Chip::VXC5480);
            Command(model, 0x01, sim::reg8::kAdcon, static_cast<uint8_t>(0x20 | pga));
            Command(model, 0x01, sim::reg8::kDrate, static_cast<uint8_t>(rate << 4));
            ExpectNoClip(model,
                         "PGA code " + std::to_string(pga) + ", rate code " + std::to_string(rate));
        }
    }
}

// What an input scan meets: each input against AINCOM at the highest gain, unclipped, each
// clearly apart from the one before.
TEST(DefaultInputs, EightChannelInputsStandApartAtTheHighestGain) {
    BoardModel model(Chip::VXC5480);
    Command(model, 0x01, sim::reg8::kAdcon, 0x26);
    Command(model, 0x01, sim::reg8::kDrate, 0xF0); // the fastest rate, the most noise
    double previous = -1e9;
    for (uint8_t input = 0; input < 8; ++input) {
        Command(model, 0x01, sim::reg8::kMux, static_cast<uint8_t>(input << 4 | 0x08));
        const analysis::NoiseFigures f =
            analysis::ComputeNoiseFigures(AcquireSettled(model, kSamples));
        EXPECT_EQ(f.clipped, 0) << "AIN" << int(input);
        EXPECT_GT(f.mean - previous, 20 * f.stdDev) << "AIN" << int(input);
        previous = f.mean;
    }
}

TEST(DefaultInputs, NoModeOfTheTwoChannelChipClips) {
    for (uint8_t mux : {0x10, 0x01}) { // AIN1 - AIN0 (the chip's start) and the other way
        for (int mode = 1; mode <= 3; ++mode) {
            BoardModel model(Chip::VXC5420);
            Command(model, 0x01, sim::reg2::kMux, mux);
            Command(model, 0x0D, static_cast<uint8_t>(mode));
            ExpectNoClip(model, "mode " + std::to_string(mode) + ", MUX " + std::to_string(mux));
        }
        for (int pga = 0; pga < 8; ++pga) {
            for (int rate = 0; rate < 8; ++rate) {
                BoardModel model(Chip::VXC5420);
                Command(model, 0x01, sim::reg2::kMux, mux);
                Command(model, 0x0D, sim::reg2::kCommandMode);
                Command(model, 0x01, sim::reg2::kCr1, static_cast<uint8_t>(pga << 4 | rate));
                ExpectNoClip(model, "command mode, PGA code " + std::to_string(pga) +
                                        ", rate code " + std::to_string(rate) + ", MUX " +
                                        std::to_string(mux));
            }
        }
    }
}

// Input-referred RMS noise of the fixed modes, about that of a bridge converter: tens of
// nanovolts at PGA 128, under a microvolt at PGA 1.
struct NoiseCase {
    int mode;
    double lowNanovolts;
    double highNanovolts;
};

class TwoChannelNoise : public ::testing::TestWithParam<NoiseCase> {};

TEST_P(TwoChannelNoise, IsOfTheRightOrder) {
    const NoiseCase &c = GetParam();
    BoardModel model(Chip::VXC5420);
    Command(model, 0x0D, static_cast<uint8_t>(c.mode));
    const sim::ChipState &chip = model.chipState();
    const double voltsPerCode =
        chip.fullScaleSpanVolts(sim::DefaultSignal(Chip::VXC5420).referenceVolts) / 8388608.0;
    const double nanovolts =
        analysis::ComputeNoiseFigures(AcquireSettled(model, 2000)).stdDev * voltsPerCode * 1e9;
    EXPECT_GT(nanovolts, c.lowNanovolts);
    EXPECT_LT(nanovolts, c.highNanovolts);
}

INSTANTIATE_TEST_SUITE_P(FixedModes, TwoChannelNoise,
                         ::testing::Values(NoiseCase{1, 10, 40},    // PGA 128 / 10 SPS
                                           NoiseCase{2, 400, 1600}, // PGA 1 / 40 SPS
                                           NoiseCase{3, 20, 80}));  // PGA 128 / 40 SPS

} // namespace
