#pragma once
// What a scan is asked to do: the inputs in order, the samples of each, the samples thrown
// away after each switch while the chip's digital filter settles, and the repeats. No widgets.

#include "scan_inputs.h"

#include <QString>

#include <vector>

namespace scan {

constexpr int kDefaultScanCount = 1000;
constexpr int kDefaultScanDiscard = 3;
constexpr int kMaxScanRepeats = 1000;
// One request carries the discarded samples and the kept ones: at most this many together.
constexpr int kMaxScanItems = 65535;

struct ScanSettings {
    std::vector<ScanInput> inputs;
    int count = kDefaultScanCount;     // samples kept per input and repeat, 1 to 65535
    int discard = kDefaultScanDiscard; // samples dropped at the start of each acquisition
    int repeats = 1;                   // passes over every input, 1 to kMaxScanRepeats
};

// An empty string, or what is wrong with the settings, in words a user reads.
QString CheckScanSettings(const ScanSettings &settings);

} // namespace scan
