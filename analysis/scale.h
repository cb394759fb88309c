#pragma once
// From codes to volts: the full-scale input range of the converter at its reference and gain.

namespace analysis {

// What the chip panel knows of the conversion; 0 where it does not know.
struct ConversionScale {
    double referenceVolts = 0.0;
    double pgaGain = 0.0;
    // Full-scale range (peak to peak) per volt of reference at gain 1: 4 for a chip that spans
    // +-2 Vref / PGA, 2 for one that spans +-Vref / PGA.
    double spanPerReference = 0.0;
    double sampleRateHz = 0.0;
};

// The input range from one end of the code scale to the other, in volts; 0 when unknown.
double FullScaleVolts(double referenceVolts, double pgaGain, double spanPerReference);

// Volts of one code for a full-scale range spread over 2^24 codes.
double LsbVolts(double fullScaleVolts);

} // namespace analysis
