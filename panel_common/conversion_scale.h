#pragma once
// What a chip panel knows of the conversion it has set up, for the noise analysis: the main
// window hands it on in the analysis' own terms.

// 0 where the panel does not know.
struct ConversionScale {
    double referenceVolts = 0.0;
    double pgaGain = 0.0;
    // Full-scale range (peak to peak) per volt of reference at gain 1: 4 for a chip that spans
    // +-2 Vref / PGA, 2 for one that spans +-Vref / PGA.
    double spanPerReference = 0.0;
    double sampleRateHz = 0.0;
};
