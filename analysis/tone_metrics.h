#pragma once
// Finds a tone in a power spectrum and measures it against the noise and its harmonics.
// Used by ComputeSpectrum; apart so its bin bookkeeping can be read on its own.

#include "analysis/spectrum.h"

#include <optional>
#include <vector>

namespace analysis {

struct ToneAnalysis {
    double meanNoisePower = 0.0; // per bin, over the bins left to noise
    double toneBin = 0.0;        // power-weighted centre of the tone, in bins
    std::optional<ToneMetrics> tone;
};

// power: single-sided bins 0 to fftLength / 2 in codes^2. padding: fftLength / sampleCount,
// which widens a window's main lobe in bins.
ToneAnalysis AnalyseTones(const std::vector<double> &power, WindowKind kind, double padding);

} // namespace analysis
