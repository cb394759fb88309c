#pragma once
// The amplitude spectrum of a record through a window, its noise density, and the figures of
// a tone that stands clearly above the noise (SNR, THD, SINAD, SFDR, ENOB).

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace analysis {

enum class WindowKind { Hann, BlackmanHarris4 };

struct ToneMetrics {
    double frequencyHz = 0.0;
    double amplitudeDbfs = 0.0; // of the tone's power against a full-scale sine
    double snrDb = 0.0;
    double thdDb = 0.0; // harmonics 2 to 6 (aliased ones included) against the tone
    double sinadDb = 0.0;
    double sfdrDb = 0.0; // tone peak over the highest other bin, dBc
    double enob = 0.0;   // from SINAD referred to full scale
    // The noise alone, RMS in codes: what the record's standard deviation would be without
    // the tone and its harmonics.
    double noiseRmsCodes = 0.0;
    size_t bin = 0; // of the tone's peak
};

struct Spectrum {
    size_t sampleCount = 0;
    // Lengths with prime factors above 5 are transformed zero-padded to the next length whose
    // factors are 2, 3 and 5; every sample is used.
    size_t fftLength = 0;
    bool zeroPadded() const { return fftLength > sampleCount; }
    double binHz = 0.0;
    // Bins 0 to fftLength / 2: amplitude against a full-scale sine (2^23 codes), dBFS, with
    // the record's mean removed before windowing.
    std::vector<double> dbfs;
    // The same bins as power in codes^2, single-sided: they add up to the record's variance.
    std::vector<double> power;
    // Mean power spectral density of the bins outside DC, the tone and its harmonics, as an
    // amplitude density in codes per root hertz (multiply by the LSB for volts).
    double noiseDensityCodes = 0.0;
    std::optional<ToneMetrics> tone;
};

// The smallest length >= n whose prime factors are 2, 3 and 5 only.
size_t FastFftLength(size_t n);

// The window's coefficients for n samples (periodic form: one period of the cosine terms).
std::vector<double> MakeWindow(WindowKind kind, size_t n);

// Empty spectrum for fewer than 8 samples. sampleRateHz only scales the frequency axis and
// the density; give 1 to read frequencies in cycles per sample.
Spectrum ComputeSpectrum(std::span<const int32_t> samples, WindowKind kind, double sampleRateHz);

} // namespace analysis
