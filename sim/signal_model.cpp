#include "sim/signal_model.h"

#include <cmath>
#include <numbers>

namespace sim {
namespace {

// The chip's own errors before calibration: an input offset and a gain a little short of
// ideal that both grow with the PGA setting.
constexpr double kInputOffsetVolts = 12e-6;
constexpr double kOutputOffsetCodes = 4.0;
constexpr double kGainShortfall = 0.0018;
constexpr double kGainShortfallPerOctave = 0.0003;

int32_t ClampCode(double value) {
    if (value >= kCodeMax)
        return kCodeMax;
    if (value <= kCodeMin)
        return kCodeMin;
    return static_cast<int32_t>(std::lround(value));
}

} // namespace

ConversionModel::ConversionModel() {
    setSignal(SignalModel{});
}

void ConversionModel::setSignal(const SignalModel &signal) {
    signal_ = signal;
    rng_.seed(signal.seed);
    samples_ = 0;
    haveSpare_ = false;
    settleLeft_ = 0;
}

double ConversionModel::codesPerVolt(const ChipState &chip) const {
    return 8388608.0 / chip.fullScaleSpanVolts(signal_.referenceVolts);
}

double ConversionModel::chipGainError(const ChipState &chip) const {
    return 1.0 - kGainShortfall - kGainShortfallPerOctave * std::log2(chip.pgaGain());
}

double ConversionModel::chipOffsetCodes(const ChipState &chip) const {
    return kInputOffsetVolts * codesPerVolt(chip) + kOutputOffsetCodes;
}

double ConversionModel::inputVolts(const ChipState &chip, double t) const {
    double volts;
    if (chip.measuresSupplyDifference())
        volts = signal_.supplyDifferenceVolts;
    else if (chip.inputsShorted())
        volts = 0.0;
    else
        volts = signal_.inputVolts[chip.positiveInput()] - signal_.inputVolts[chip.negativeInput()];
    if (signal_.sineAmplitudeVolts != 0.0 && signal_.sineHz > 0.0)
        volts += signal_.sineAmplitudeVolts * std::sin(2.0 * std::numbers::pi * signal_.sineHz * t);
    return volts;
}

double ConversionModel::rawCodes(const ChipState &chip, double volts) const {
    return volts * codesPerVolt(chip) * chipGainError(chip) + chipOffsetCodes(chip);
}

int32_t ConversionModel::finalCode(const ChipState &chip, double raw) const {
    if (!chip.hasCalibrationRegisters())
        return ClampCode(raw);
    const double gain = static_cast<double>(chip.gainCalibration()) / kUnityGainCalibration;
    return ClampCode((raw - chip.offsetCalibration()) * gain);
}

double ConversionModel::noiseVolts(const ChipState &chip) const {
    // Wider filters let more noise through; a higher PGA lowers the input-referred noise until
    // the amplifier's own noise dominates.
    const double rateFactor = std::sqrt(chip.dataRateSps() / chip.slowestDataRateSps());
    const double share = signal_.amplifierNoiseShare;
    const double gainFactor = share + (1.0 - share) / chip.pgaGain();
    return signal_.noiseVolts * rateFactor * gainFactor;
}

double ConversionModel::gaussian() {
    // Box-Muller on the engine's raw output, so the sequence is the same on every library.
    if (haveSpare_) {
        haveSpare_ = false;
        return spare_;
    }
    constexpr double kScale = 1.0 / 4294967296.0;
    const double u1 = (static_cast<double>(rng_()) + 1.0) * kScale;
    const double u2 = static_cast<double>(rng_()) * kScale;
    const double radius = std::sqrt(-2.0 * std::log(u1));
    const double angle = 2.0 * std::numbers::pi * u2;
    spare_ = radius * std::sin(angle);
    haveSpare_ = true;
    return radius * std::cos(angle);
}

double ConversionModel::heldRaw(const ChipState &chip) const {
    const double target =
        rawCodes(chip, inputVolts(chip, static_cast<double>(samples_) / chip.dataRateSps()));
    if (settleLeft_ <= 0)
        return target;
    const int step = settleTotal_ - settleLeft_ + 1;
    return settleFrom_ + (target - settleFrom_) * step / (settleTotal_ + 1);
}

void ConversionModel::beginSettling(double fromRaw, int conversions) {
    settleFrom_ = fromRaw;
    settleTotal_ = settleLeft_ = conversions > 0 ? conversions : 0;
}

void ConversionModel::skip(uint64_t conversions) {
    samples_ += conversions;
    settleLeft_ = conversions >= static_cast<uint64_t>(settleLeft_)
                      ? 0
                      : settleLeft_ - static_cast<int>(conversions);
}

int32_t ConversionModel::convert(const ChipState &chip) {
    const double raw = signal_.counting ? 0.0 : heldRaw(chip);
    const uint64_t sample = samples_++;
    if (settleLeft_ > 0)
        --settleLeft_;
    if (signal_.counting) {
        const uint32_t code = static_cast<uint32_t>(sample) & 0xFFFFFF;
        return static_cast<int32_t>(code << 8) >> 8; // 24-bit two's complement
    }
    const double noiseRaw =
        noiseVolts(chip) * gaussian() * codesPerVolt(chip) * chipGainError(chip);
    return finalCode(chip, raw + noiseRaw);
}

int32_t ConversionModel::selfOffset(const ChipState &chip) const {
    // The chip shorts its inputs internally: what remains is its own offset.
    return static_cast<int32_t>(std::lround(chipOffsetCodes(chip)));
}

uint32_t ConversionModel::selfGain(const ChipState &chip) const {
    return static_cast<uint32_t>(std::lround(kUnityGainCalibration / chipGainError(chip)));
}

int32_t ConversionModel::systemOffset(const ChipState &chip) const {
    // The user has applied the zero point to the selected inputs.
    return static_cast<int32_t>(std::lround(rawCodes(chip, inputVolts(chip, 0.0))));
}

uint32_t ConversionModel::systemGain(const ChipState &chip) const {
    // The user has applied the full-scale point to the selected inputs.
    const double span = rawCodes(chip, inputVolts(chip, 0.0)) - chip.offsetCalibration();
    if (span <= 1.0)
        return 0xFFFFFF;
    const double gain = std::round(double(kUnityGainCalibration) * kCodeMax / span);
    return gain > 0xFFFFFF ? 0xFFFFFF : static_cast<uint32_t>(gain);
}

} // namespace sim
