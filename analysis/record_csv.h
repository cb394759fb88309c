#pragma once
// The samples of a record as comma-separated values, one line per sample:
// index,time in seconds,code,volts (header line first).

#include <cstdint>
#include <span>
#include <string>

namespace analysis {

// Time is index / sampleRateHz (left empty without a rate); volts are code * lsbVolts (left
// empty without a full-scale range).
std::string RecordCsv(std::span<const int32_t> samples, double sampleRateHz, double lsbVolts);

} // namespace analysis
