#pragma once
// What a chip's codes mean, as that chip's widget-free core works it out from a register image:
// volts per code, gain, reference, input span, nominal data rate, and how many conversions
// still settle after a MUX or configuration write. Plain data: the panels, the analysis, the
// capture, the scan, pellorin-cli and the virtual board all ask the chip core
// (vxc5480::Facts, vxc5420::Facts) and none works these out again.

#include <optional>
#include <string>

namespace conversion {

// Whether the reference is the user's or the chip core's default.
enum class ReferenceSource { Default, Given };

// What a chip's reference may be, and what it is where nobody gives one.
struct ReferenceRange {
    double defaultVolts = 0.0;
    double minVolts = 0.0;
    double maxVolts = 0.0;

    bool contains(double volts) const { return volts >= minVolts && volts <= maxVolts; }
};

struct ConversionFacts {
    ReferenceRange referenceRange;
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
    // The mode the chip converts in, in the chip core's words; empty for a chip without modes.
    std::string mode;
};

// Fills span and volts per code from reference, gain and span per reference.
inline ConversionFacts WithScale(ConversionFacts facts) {
    const bool known = facts.referenceVolts > 0 && facts.pgaGain > 0 && facts.spanPerReference > 0;
    facts.spanVolts = known ? facts.spanPerReference * facts.referenceVolts / facts.pgaGain : 0.0;
    facts.voltsPerCode = facts.spanVolts / 16777216.0;
    return facts;
}

// The facts at the reference a user gave, or at the chip's default where none was given. The
// chip cores end with it, so facts worked out once can follow a reference edited later.
inline ConversionFacts WithReference(ConversionFacts facts, std::optional<double> referenceVolts) {
    facts.referenceVolts = referenceVolts.value_or(facts.referenceRange.defaultVolts);
    facts.referenceSource = referenceVolts ? ReferenceSource::Given : ReferenceSource::Default;
    return WithScale(facts);
}

// Volts per code that may be claimed: 0 where the gain is only a guess from the registers.
inline double ClaimedVoltsPerCode(const ConversionFacts &facts) {
    return facts.modeKnown ? facts.voltsPerCode : 0.0;
}

} // namespace conversion
