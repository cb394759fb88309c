#pragma once
// What a scan is asked to do: the inputs in order, the samples of each, the samples thrown
// away after each switch while the chip's digital filter settles, and the repeats. No widgets.

#include "scan_inputs.h"

#include "conversion/conversion_facts.h"
#include "link/frames.h"

#include <QString>

#include <vector>

namespace scan {

constexpr int kDefaultScanCount = 1000;
constexpr int kMaxScanRepeats = 1000;
// One request carries the discarded samples and the kept ones: at most this many together.
constexpr int kMaxScanItems = kMaxItemsPerRequest;

struct ScanSettings {
    std::vector<ScanInput> inputs;
    int count = kDefaultScanCount; // samples kept per input and repeat, 1 to kMaxScanItems
    int discard = 0;               // samples dropped at the start of each acquisition
    int repeats = 1;               // passes over every input, 1 to kMaxScanRepeats
};

// The samples dropped after each switch where none are asked for: the conversions the chip's
// core says still settle after a MUX write at its data rate.
int DefaultDiscard(const conversion::ConversionFacts &facts);

// An empty string, or what is wrong with the settings, in words a user reads.
QString CheckScanSettings(const ScanSettings &settings);

} // namespace scan
