#include "model_helpers.h"

#include <gtest/gtest.h>

using namespace simtest;
using sim::BoardModel;
using sim::Chip;

namespace {

uint8_t Read(BoardModel &model, uint8_t address) {
    const Bytes reply = Command(model, 0x02, address);
    EXPECT_EQ(reply.size(), 3u);
    EXPECT_EQ(reply[0], 0) << "read of " << int(address);
    return reply[1];
}

uint8_t Status(BoardModel &model, uint8_t code, uint8_t p1 = 0, uint8_t p2 = 0) {
    return Command(model, code, p1, p2).at(0);
}

TEST(Vxc5480Registers, PowerUpValues) {
    BoardModel model(Chip::VXC5480);
    EXPECT_EQ(Read(model, 0x00), 0x30) << "chip id 3, MSB first, buffer off, data ready";
    EXPECT_EQ(Read(model, 0x01), 0x01);
    EXPECT_EQ(Read(model, 0x02), 0x20);
    EXPECT_EQ(Read(model, 0x03), 0xF0);
    EXPECT_EQ(Read(model, 0x04), 0xE1);
    // The power-up self calibration leaves a small offset and a gain a little above unity.
    const auto &chip = model.chipState();
    EXPECT_GT(chip.offsetCalibration(), 0);
    EXPECT_LT(chip.offsetCalibration(), 100);
    EXPECT_GT(chip.gainCalibration(), sim::kUnityGainCalibration);
    EXPECT_LT(chip.gainCalibration(), sim::kUnityGainCalibration * 101 / 100);
}

TEST(Vxc5480Registers, ReadOnlyStatusBitsKeepTheirValues) {
    BoardModel model(Chip::VXC5480);
    EXPECT_EQ(Status(model, 0x01, 0x00, 0xFF), 0);
    EXPECT_EQ(Read(model, 0x00), 0x3E) << "id nibble and data-ready are the chip's own";
    EXPECT_EQ(Status(model, 0x01, 0x02, 0xFF), 0);
    EXPECT_EQ(Read(model, 0x02), 0x7F) << "ADCON bit 7 is reserved";
}

TEST(Vxc5480Registers, GpioInputsReadThePinLevels) {
    BoardModel model(Chip::VXC5480);
    sim::SignalModel signal;
    signal.gpioInputLevels = 0x0A; // D3 and D1 driven high from outside
    model.setSignal(signal);
    EXPECT_EQ(Status(model, 0x01, 0x04, 0xC5), 0); // D3, D2 inputs; D1, D0 outputs 0 and 1
    EXPECT_EQ(Read(model, 0x04), 0xC9);
}

TEST(Vxc5480Commands, StandbyStopsConversionsUntilWakeup) {
    BoardModel model(Chip::VXC5480);
    EXPECT_EQ(Status(model, 0x08), 0);
    EXPECT_EQ(Read(model, 0x00) & 0x01, 0x01) << "not ready while in standby";
    EXPECT_EQ(Read(model, 0x03), 0xF0) << "registers stay reachable";
    EXPECT_EQ(Status(model, 0x04), sim::kStatusBridgeTimeout) << "no calibration in standby";
    EXPECT_TRUE(Command(model, 0x0F, 0x00, 0x05).empty());
    EXPECT_FALSE(model.streaming());
    EXPECT_EQ(Status(model, 0x0C), 0);
    EXPECT_EQ(Read(model, 0x00) & 0x01, 0x00);
    Command(model, 0x0F, 0x00, 0x05);
    EXPECT_EQ(DrainStream(model).size(), 20u);
}

TEST(Vxc5480Commands, PowerDownSilencesTheChipUntilWakeup) {
    BoardModel model(Chip::VXC5480);
    EXPECT_EQ(Status(model, 0x09), 0);
    EXPECT_EQ(Status(model, 0x02, 0x01), sim::kStatusChipSilent);
    EXPECT_EQ(Status(model, 0x01, 0x01, 0x23), sim::kStatusChipSilent);
    EXPECT_EQ(Status(model, 0x03), sim::kStatusChipSilent);
    EXPECT_EQ(Status(model, 0xF0), 0) << "the bridge itself still answers";
    EXPECT_EQ(Status(model, 0x0A), 0);
    EXPECT_EQ(Status(model, 0x0C), 0);
    EXPECT_EQ(Read(model, 0x01), 0x01) << "registers kept through power-down";
}

TEST(Vxc5480Commands, CalibrationsLoadTheCalibrationRegisters) {
    BoardModel model(Chip::VXC5480);
    Command(model, 0x01, 0x02, 0x26); // PGA 64: the power-up calibration no longer fits
    const auto &chip = model.chipState();
    const int32_t offsetAtGain1 = chip.offsetCalibration();
    const uint32_t gainAtGain1 = chip.gainCalibration();

    EXPECT_EQ(Status(model, 0x04), 0);
    EXPECT_GT(chip.offsetCalibration(), offsetAtGain1) << "offset grows with the PGA";
    EXPECT_EQ(chip.gainCalibration(), gainAtGain1);
    EXPECT_EQ(Status(model, 0x05), 0);
    EXPECT_GT(chip.gainCalibration(), gainAtGain1) << "gain error grows with the PGA";

    // System offset: the present input (AIN0 - AIN1 = -5 mV, -8389 codes) becomes the zero
    // point.
    Command(model, 0x01, 0x02, 0x20); // back to PGA 1
    EXPECT_EQ(Status(model, 0x06), 0);
    EXPECT_LT(chip.offsetCalibration(), -8000);
    // System gain: the present input (AIN7 - AIN0 = 3.9 V) becomes full scale (5 V).
    sim::SignalModel signal;
    signal.inputVolts[0] = 0.1;
    signal.inputVolts[7] = 4.0;
    model.setSignal(signal);
    EXPECT_EQ(Status(model, 0x03), 0);
    Command(model, 0x01, 0x01, 0x70);
    EXPECT_EQ(Status(model, 0x07), 0);
    const double expectedGain = 0x400000 * 5.0 / 3.9;
    EXPECT_NEAR(chip.gainCalibration(), expectedGain, expectedGain * 0.01);
    // The registers read back over the wire as the calibration left them.
    const uint32_t fsc = Read(model, 0x08) | (Read(model, 0x09) << 8) | (Read(model, 0x0A) << 16);
    EXPECT_EQ(fsc, chip.gainCalibration());
}

TEST(Vxc5480Commands, AutoCalibrationFollowsGainChanges) {
    BoardModel model(Chip::VXC5480);
    Command(model, 0x01, 0x00, 0x04); // ACAL on
    const uint32_t before = model.chipState().gainCalibration();
    Command(model, 0x01, 0x02, 0x26);
    EXPECT_GT(model.chipState().gainCalibration(), before);
}

TEST(Vxc5420Registers, PowerUpValuesAndFixedBits) {
    BoardModel model(Chip::VXC5420);
    const Bytes expected{0x02, 0x10, 0x40, 0x70, 0x30, 0x00};
    for (uint8_t a = 0; a < 6; ++a)
        EXPECT_EQ(Read(model, a), expected[a]) << "register " << int(a);
    EXPECT_EQ(Status(model, 0x02, 0x06), sim::kStatusUnsupported);
    // Writing all ones: only the implemented bits take, fixed bits keep their values.
    for (uint8_t a = 0; a < 6; ++a)
        EXPECT_EQ(Status(model, 0x01, a, 0xFF), 0);
    const Bytes afterOnes{0xFE, 0x91, 0x46, 0x77, 0x31, 0x02};
    for (uint8_t a = 0; a < 6; ++a)
        EXPECT_EQ(Read(model, a), afterOnes[a]) << "register " << int(a);
    EXPECT_EQ(Status(model, 0x01, 0x02, 0x00), 0);
    EXPECT_EQ(Read(model, 0x02), 0x40);
}

TEST(Vxc5420Commands, ModesSetGainAndRate) {
    BoardModel model(Chip::VXC5420);
    const auto &chip = model.chipState();
    EXPECT_EQ(chip.mode(), 1);
    EXPECT_EQ(chip.pgaGain(), 128);
    EXPECT_EQ(chip.dataRateSps(), 10.0);
    EXPECT_EQ(Command(model, 0x0D, 0x02), (Bytes{0x00, 0x00, 0x0F}));
    EXPECT_EQ(chip.pgaGain(), 1);
    EXPECT_EQ(chip.dataRateSps(), 40.0);
    EXPECT_TRUE(chip.measuresSupplyDifference());
    EXPECT_EQ(Read(model, 0x03), 0x02) << "CR1 shows the mode's gain and rate";
    EXPECT_EQ(Status(model, 0x0D, 0x04), 0);
    Command(model, 0x01, 0x03, 0x35); // command mode: CR1 rules
    EXPECT_EQ(chip.pgaGain(), 8);
    EXPECT_EQ(chip.dataRateSps(), 320.0);
    EXPECT_EQ(Status(model, 0x0D, 0x03), 0);
    EXPECT_EQ(chip.pgaGain(), 128);
    EXPECT_EQ(Status(model, 0x0D, 0x00), sim::kStatusUnsupported);
    EXPECT_EQ(Status(model, 0x0D, 0x05), sim::kStatusUnsupported);
    EXPECT_EQ(chip.mode(), 3);
    EXPECT_EQ(Status(model, 0x03), sim::kStatusUnsupported) << "no calibration registers";
}

} // namespace
