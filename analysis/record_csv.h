#pragma once
// A record and its spectrum as comma-separated values, header line first: the samples one
// line each (index,time in seconds,code,volts) after a line that says how the times were made,
// the spectrum one line per bin (frequency,dBFS).

#include "analysis/spectrum.h"

#include <cstdint>
#include <span>
#include <string>

namespace analysis {

// Time is the sample's arrival time by the arrival rule (sample_times.h) where arrivalTimes
// holds one per sample, else index / sampleRateHz (left empty without a rate); the first line,
// "# time_s: ...", names the rule used. Volts are code * lsbVolts (left empty without a
// full-scale range).
std::string RecordCsv(std::span<const int32_t> samples, double sampleRateHz, double lsbVolts,
                      std::span<const double> arrivalTimes = {});

// Bins 0 to fftLength / 2: "frequency_hz,dbfs", or "cycles_per_sample,dbfs" for a spectrum
// computed without a sample rate (inHertz false).
std::string SpectrumCsv(const Spectrum &spectrum, bool inHertz);

} // namespace analysis
