#pragma once
// What a chip's codes mean, as that chip's widget-free core works it out from a register image:
// volts per code, gain, reference, input span, nominal data rate, and how many conversions
// still settle after a MUX or configuration write. Plain data: the panels, the analysis, the
// capture, the scan, pellorin-cli and the virtual board all ask the chip core
// (vxc5480::Facts, vxc5420::Facts) and none works these out again.

namespace analysis {

// Whether the reference is the user's or the chip core's default.
enum class ReferenceSource { Default, Given };

struct ConversionFacts {
    double referenceVolts = 0.0; // 0 where unknown
    ReferenceSource referenceSource = ReferenceSource::Default;
    double pgaGain = 0.0; // 0 where unknown
    // Full-scale range (peak to peak) per volt of reference at gain 1: 4 for a chip that spans
    // +-2 Vref / PGA, 2 for one that spans +-Vref / PGA.
    double spanPerReference = 0.0;
    double spanVolts = 0.0;    // the input range from one end of the codes to the other
    double voltsPerCode = 0.0; // spanVolts over 2^24; 0 where gain or reference is unknown
    double dataRateSps = 0.0;  // nominal conversions per second; 0 where unknown
    // Conversions after a MUX or configuration write that still carry the input before it.
    int settlingConversions = 0;
    // False where the gain and rate were read from registers that may not be what the chip
    // converts with (the 2-channel chip's mode was not known): nobody should claim them.
    bool modeKnown = true;
};

// Fills span and volts per code from reference, gain and span per reference.
inline ConversionFacts WithScale(ConversionFacts facts) {
    const bool known = facts.referenceVolts > 0 && facts.pgaGain > 0 && facts.spanPerReference > 0;
    facts.spanVolts = known ? facts.spanPerReference * facts.referenceVolts / facts.pgaGain : 0.0;
    facts.voltsPerCode = facts.spanVolts / 16777216.0;
    return facts;
}

} // namespace analysis
