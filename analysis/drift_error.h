#pragma once
// The drift's uncertainty for the noise a run has. The straight-line regression's standard
// error assumes independent residuals; on a random walk it is about a thousand times too small,
// on 1/f noise several times: noise that wanders looks like drift.
//
// Decision: the error comes from a noise model fitted to the run's own Allan variance. While
// the run is summarized, the means of 4096 equal blocks of it are kept (a run too short gives a
// block per sample). Less the drift line, their overlapping Allan variance at m blocks, from a
// 256th of the run (shorter time scales do not move the slope, and their shape would bend the
// fit) to an eighth (beyond, taking the line out lowers it), is fitted in relative least
// squares, weighted by each point's degrees of freedom, by
//     avar(tau) = A / tau + B + C tau        (white, 1/f and random-walk noise; A, B, C >= 0),
// a term kept only where it lowers the chi-square (half the weighted squares) by more than 4:
// a random-walk term fitted to the scatter of the last points would double 1/f noise's error;
// and the slope's variance over a run of length T follows from each term:
//     var(slope) = 12 A / T^3 + 9 / (2 ln 2) B / T^2 + 3.6 C / T.
// (For white noise A = sigma^2 / fs and 12 A / T^3 is the regression's own error; for a random
// walk of diffusion q, avar = q tau / 3 and var = 6 q / (5 T); for 1/f noise of density h / f,
// avar = 2 ln 2 h and var = 9 h / T^2.) Why this rather than the residuals' autocorrelation:
// an autocorrelation estimated from one run cannot see correlations as long as the run, which
// are the ones that move the slope; the Allan variance's power law carries them up to it. The
// interval holds 60-76 % of the time at 68 % on random walks and 1/f noise (tested).
//
// Runs under 64 samples keep the regression's error.

#include "analysis/drift_line.h"

#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

class BlockMeans {
  public:
    // For a run of total samples (the source's count).
    explicit BlockMeans(uint64_t total);
    // Samples from held index first on, with their times.
    void add(uint64_t first, std::span<const int32_t> codes, std::span<const double> seconds);

    struct Block {
        double sumCodes = 0.0;
        double sumSeconds = 0.0;
        uint64_t count = 0;
    };
    const std::vector<Block> &blocks() const { return m_blocks; }

  private:
    uint64_t m_total;
    std::vector<Block> m_blocks;
};

// The slope's standard error (codes per second) for the noise of the run the blocks were kept
// of, about its drift line; the line's own (regression) error for runs under 64 samples.
double DriftSlopeError(const BlockMeans &blocks, const DriftLine &line);

// The white, 1/f and random-walk terms fitted to an Allan variance (codes^2, tau in seconds).
struct NoiseModel {
    double white = 0.0;   // A
    double flicker = 0.0; // B
    double walk = 0.0;    // C
};
struct AvarPoint {
    double tau = 0.0;
    double avar = 0.0;
    double edf = 0.0;
};
NoiseModel FitNoiseModel(std::span<const AvarPoint> points);

} // namespace analysis
