#pragma once
// The register files of the two chips as the bridge reaches them: reset values, read-only and
// fixed bits, pins that read back live levels, power state, and the conversion settings the
// chip's own facts library gives for the registers (and the 2-channel chip's mode).

#include "sim/virtual_board.h"

#include <array>
#include <cstdint>

namespace sim {

enum class PowerState { Active, Standby, PowerDown };

namespace reg8 {
constexpr uint8_t kStatus = 0x00, kMux = 0x01, kAdcon = 0x02, kDrate = 0x03, kIo = 0x04;
constexpr uint8_t kOfc0 = 0x05, kFsc0 = 0x08;
constexpr uint8_t kChipIdNibble = 0x3;
constexpr uint8_t kStatusAcal = 0x04, kStatusBufen = 0x02, kStatusDrdy = 0x01;
} // namespace reg8

namespace reg2 {
constexpr uint8_t kSta = 0x00, kMux = 0x01, kCr0 = 0x02, kCr1 = 0x03, kCr2 = 0x04, kCr3 = 0x05;
constexpr uint8_t kMuxShort = 0x80;
constexpr int kCommandMode = 4;
constexpr int kSupplyMode = 2;
} // namespace reg2

// The calibration registers hold a gain factor of 1.0 as this value.
constexpr uint32_t kUnityGainCalibration = 0x400000;

class ChipState {
  public:
    explicit ChipState(Chip chip);

    Chip chip() const { return chip_; }
    int registerCount() const;
    bool hasRegister(uint8_t address) const { return address < registerCount(); }

    // What a register read answers, live bits (data-ready, GPIO input levels) included.
    uint8_t read(uint8_t address) const;
    // A register write as the chip takes it: read-only and fixed bits keep their values.
    void write(uint8_t address, uint8_t value);
    // Sets the stored byte as it is, bypassing the chip's rules (test set-up).
    void poke(uint8_t address, uint8_t value);

    // Levels that outside circuitry drives onto the GPIO pins configured as inputs.
    void setGpioInputLevels(uint8_t levels) { gpioInputs_ = levels & 0x0F; }

    PowerState power() const { return power_; }
    void setPower(PowerState power) { power_ = power; }

    // The 2-channel chip's operating mode, 1 to 4; fixed modes 1 to 3 load CR1 to match.
    int mode() const { return mode_; }
    void setMode(int mode);

    int pgaGain() const { return pgaGain_; }
    double dataRateSps() const { return dataRateSps_; }
    double slowestDataRateSps() const;
    // Conversions that still settle after a MUX or configuration write at these settings.
    int settlingConversions() const { return settlingConversions_; }
    // Input numbers of the selected pair: 0..7 for AIN0..AIN7, 8 for AINCOM.
    int positiveInput() const;
    int negativeInput() const;
    bool inputsShorted() const;
    bool measuresSupplyDifference() const;
    // The differential input span that maps onto the whole code range.
    double fullScaleSpanVolts(double referenceVolts) const;

    bool hasCalibrationRegisters() const { return chip_ == Chip::VXC5480; }
    bool autoCalibration() const;
    int32_t offsetCalibration() const;
    uint32_t gainCalibration() const;
    void setOffsetCalibration(int32_t offset);
    void setGainCalibration(uint32_t gain);

  private:
    uint8_t readOnlyMask(uint8_t address) const;
    uint8_t fixedBits(uint8_t address) const;
    // Asks the chip's facts again; called after every change of registers or mode, as a
    // conversion reads them many times.
    void refreshFacts();

    Chip chip_;
    std::array<uint8_t, 16> regs_{};
    uint8_t gpioInputs_ = 0;
    PowerState power_ = PowerState::Active;
    int mode_ = 1;
    int pgaGain_ = 1;
    double dataRateSps_ = 0.0;
    double spanPerReference_ = 0.0;
    int settlingConversions_ = 0;
};

} // namespace sim
