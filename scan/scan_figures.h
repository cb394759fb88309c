#pragma once
// A row of the scan's table: the analysis library's noise figures of each repeat of one input,
// and what the row shows of them: every figure the mean over the repeats, with the spread of
// the mean and of the standard deviation. No widgets.

#include "scan_inputs.h"

#include "analysis/noise_figures.h"
#include "conversion/conversion_facts.h"

#include <cstdint>
#include <vector>

namespace scan {

struct ScanRow {
    ScanInput input;
    std::vector<analysis::NoiseFigures> repeats; // in the order they were measured
};

struct RowFigures {
    int repeats = 0;
    int64_t samples = 0; // over every repeat
    // Means over the repeats, in codes; the resolutions in bits, over the repeats that had
    // noise (infinite when none had).
    double mean = 0.0;
    double stdDev = 0.0;
    double peakToPeak = 0.0;
    double effectiveBits = 0.0;
    double noiseFreeBits = 0.0;
    double minimum = 0.0;
    double maximum = 0.0;
    // How far the repeats differ: the sample standard deviation of their means and of their
    // standard deviations, in codes; 0 with fewer than two repeats.
    double meanSpread = 0.0;
    double stdDevSpread = 0.0;
    int64_t clipped = 0; // samples at the code limits, over every repeat
    // Every repeat a single code: no noise to measure.
    bool noNoise = false;
};

RowFigures SummarizeRow(const ScanRow &row);

// Volts of one code as the chip's core gives them, for the microvolts of the table: 0 where the
// scale is not known, or the gain only guessed from the registers (the mode was not known).
double ScanVoltsPerCode(const conversion::ConversionFacts &facts);

} // namespace scan
