#pragma once
// The noise spectral density of a long run: Welch's averaged periodogram, read segment by
// segment from a sample source. Each segment has its baseline (see drift_line.h) and then
// its own mean taken out, is weighted by a periodic Hann window and transformed; the
// one-sided densities of all segments are averaged. Segments overlap by half and never
// cross a gap. The segment is the longest of 2^a, 3 x 2^a and 5 x 2^a samples that fits
// eight times in the run (capped at the longest piece), so the lowest frequency is about
// 1 / (run length / 8) and at least 15 segments are averaged.
//
// The white level is the mean density over fs/20 .. 0.4 fs, bins above ten times that band's
// median (tones) left out; it is given only when the band is flat (the means over its lower
// and upper part within a factor 2). For the 1/f corner the density is averaged over bands a
// tenth of a decade wide and walked up from the lowest: the corner lies where the first band
// falls below twice the white level (white and 1/f noise equal there), interpolated log-log
// between that band and the one before; there is none when the lowest band is already below.

#include "analysis/drift_line.h"
#include "analysis/sample_source.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace analysis {

struct NoiseDensity {
    size_t segmentLength = 0;
    size_t segments = 0; // averaged
    double binHz = 0.0;
    // Bins 0 .. segmentLength / 2, codes^2 per hertz (one-sided; bin 0 carries what is left
    // of DC after the mean is taken out of each segment).
    std::vector<double> powerDensity;
    std::optional<double> whiteLevel; // codes^2 / Hz
    std::optional<double> cornerHz;

    double frequency(size_t bin) const { return binHz * static_cast<double>(bin); }
};

// The segment length for n samples (0 when n < 16).
size_t WelchSegmentLength(uint64_t samples);

// Empty (segments 0) when the run is too short for one segment; nullopt when a read fails
// (error says why) or cancel is set.
std::optional<NoiseDensity> ComputeNoiseDensity(SampleSource &source, double sampleRateHz,
                                                const Baseline &baseline, std::string &error,
                                                const std::atomic<bool> *cancel = nullptr);

// White level and corner of a density (filled in by ComputeNoiseDensity).
void FindWhiteAndCorner(NoiseDensity &density);

// Log-spaced band averages of the density, bandsPerDecade bands per decade from the first
// bin up: each band's geometric centre and mean density. Bins are used once.
struct DensityBand {
    double hz;
    double density;
};
std::vector<DensityBand> BandAverages(const NoiseDensity &density, int bandsPerDecade);

} // namespace analysis
