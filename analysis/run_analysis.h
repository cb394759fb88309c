#pragma once
// What a long run says, read from a sample source in chunks: first a summary pass (drift line,
// extremes, the overview pyramid), then the noise density, the Allan deviation and the
// histogram of the samples less their baseline (the mean, or with detrending the drift line).

#include "analysis/allan_deviation.h"
#include "analysis/drift_line.h"
#include "analysis/histogram.h"
#include "analysis/minmax_pyramid.h"
#include "analysis/noise_density.h"
#include "analysis/sample_source.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace analysis {

struct RunSummary {
    DriftLine drift;
    int32_t minimum = 0;
    int32_t maximum = 0;
    double rmsAboutMeanCodes = 0.0; // divides by the count
};

// One pass: the drift line against each sample's time (its slope error for the noise the run
// has: drift_error.h), the extremes and (when given) the overview pyramid. nullopt when a read
// fails (error says why) or cancel is set.
std::optional<RunSummary> SummarizeRun(SampleSource &source, double sampleRateHz,
                                       MinMaxPyramid *pyramid, std::string &error,
                                       const std::atomic<bool> *cancel = nullptr);

struct RunAnalysis {
    bool detrended = false;
    NoiseDensity density;
    AllanDeviation allan;
    // Of the samples less the baseline, the run's mean added back and rounded to whole codes,
    // so the axis stays in the run's codes.
    Histogram histogram;
    double stdDevCodes = 0.0; // of the samples less the baseline
};

// The baseline a summary gives: its mean, or its drift line with detrending.
Baseline BaselineOf(const RunSummary &summary, bool detrend);

std::optional<RunAnalysis> AnalyzeRun(SampleSource &source, double sampleRateHz,
                                      const RunSummary &summary, bool detrend, std::string &error,
                                      const std::atomic<bool> *cancel = nullptr);

// Comma-separated numbers of each plot, header line first. Volts columns are left out without
// a scale (voltsPerCode 0); perSample (a run without a rate) names the columns per sample
// ("cycles_per_sample", "tau_samples") in place of hertz and seconds.
//
// The density's lines are every bin from bin 1 up: bin 0 holds only what the window leaves of
// each segment's mean, which is no noise (and has no place on a log axis). They go to sink a
// few tens of kilobytes at a time as they are made: a density of millions of bins is never
// held as text. False when sink was.
bool WriteNoiseDensityCsv(const NoiseDensity &density, double voltsPerCode, bool perSample,
                          const std::function<bool(std::string_view)> &sink);
// The same, whole (short densities).
std::string NoiseDensityCsv(const NoiseDensity &density, double voltsPerCode,
                            bool perSample = false);
std::string AllanCsv(const AllanDeviation &allan, double voltsPerCode, bool perSample = false);
std::string HistogramCsv(const Histogram &histogram);

} // namespace analysis
