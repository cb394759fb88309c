#pragma once
// Turns what the inputs see into conversion codes: the selected input pair, the chip's own
// offset and gain error, noise that depends on gain and data rate, the settling after a
// configuration write, the calibration registers and the reference. Also what each calibration
// would load into those registers. Deterministic for a given seed.

#include "sim/chip_registers.h"
#include "sim/virtual_board.h"

#include <cstdint>
#include <random>

namespace sim {

constexpr int32_t kCodeMax = 0x7FFFFF;
constexpr int32_t kCodeMin = -0x800000;

class ConversionModel {
  public:
    ConversionModel();

    // Replaces the signal and restarts its time and noise sequence.
    void setSignal(const SignalModel &signal);
    const SignalModel &signal() const { return signal_; }

    // The differential voltage at the selected pair at time t, noise left out.
    double inputVolts(const ChipState &chip, double t) const;
    // The modulator's result in codes, before the calibration registers.
    double rawCodes(const ChipState &chip, double volts) const;
    // Raw codes through the calibration registers, rounded and clamped to the code range.
    int32_t finalCode(const ChipState &chip, double raw) const;
    // Input-referred RMS noise at the chip's present gain and data rate.
    double noiseVolts(const ChipState &chip) const;

    // The next conversion: advances the sample time and the noise sequence.
    int32_t convert(const ChipState &chip);
    // Conversions the chip made that nobody took: time, the counting codes and any settling go
    // on as if they had been converted.
    void skip(uint64_t conversions);

    // A MUX or configuration write restarts the chip's filter: the next `conversions`
    // conversions still carry the value the filter held before (fromRaw, as heldRaw gave it
    // just before the write) and approach the new input in even steps.
    void beginSettling(double fromRaw, int conversions);
    // The raw value, noise left out, that the next conversion would give now.
    double heldRaw(const ChipState &chip) const;
    // Conversions still to come before the codes stand at the new input.
    int settlingLeft() const { return settleLeft_; }

    // What each calibration loads into the offset (OFC) and gain (FSC) registers.
    int32_t selfOffset(const ChipState &chip) const;
    uint32_t selfGain(const ChipState &chip) const;
    int32_t systemOffset(const ChipState &chip) const;
    uint32_t systemGain(const ChipState &chip) const;

  private:
    double gaussian();
    double codesPerVolt(const ChipState &chip) const;
    double chipGainError(const ChipState &chip) const;
    double chipOffsetCodes(const ChipState &chip) const;

    SignalModel signal_;
    std::mt19937 rng_;
    uint64_t samples_ = 0;
    bool haveSpare_ = false;
    double spare_ = 0.0;
    double settleFrom_ = 0.0;
    int settleTotal_ = 0;
    int settleLeft_ = 0;
};

} // namespace sim
