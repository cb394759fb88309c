#pragma once
// A batch test's limits: for each chip and input, the largest RMS noise and the largest |mean|
// a board may show there; and a scan's inputs judged against them.
//
// One limit a line: CHIP INPUT NOISE UNIT MEAN UNIT, e.g.
//     VXC5480  AIN0-AINCOM  2.5 µV  20 mV
// with the units nV, µV (or uV), mV and V; the number and its unit may be written together
// ("2.5µV"). Blank lines and lines starting with "#" are skipped.

#include "scan/scan_figures.h"
#include "scan/scan_inputs.h"

#include <QString>

#include <vector>

namespace cli {

struct ScanLimit {
    QString chip; // catalogue spelling
    scan::ScanInput input;
    double maxRmsVolts = 0.0;
    double maxAbsMeanVolts = 0.0;
    int line = 0;
};

struct ScanLimits {
    std::vector<ScanLimit> limits;
    // The limit of this chip's input; null when the file has none.
    const ScanLimit *find(const QString &chip, scan::ScanInput input) const;
};

// Reads the limits; false with "line N: cause" in error (the first fault).
bool ParseScanLimits(const QString &text, ScanLimits &limits, QString &error);
// The file; false with "PATH: cause" or "PATH line N: cause" in error.
bool ReadScanLimits(const QString &path, ScanLimits &limits, QString &error);

enum class Verdict {
    Pass,
    Fail,
    NoLimit,     // the file has no line for this chip and input: not judged
    NotMeasured, // the scan ended before it
    NoScale,     // the volts of a code are not known (a VXC5420 without --mode): not judged
};

struct InputVerdict {
    QString input; // "AIN0-AINCOM"
    double rmsVolts = 0.0;
    double meanVolts = 0.0;
    const ScanLimit *limit = nullptr;
    Verdict verdict = Verdict::NoLimit;
};

// Each row of a chip's scan against the limits, at voltsPerCode (0 when not known).
std::vector<InputVerdict> JudgeScan(const ScanLimits &limits, const QString &chip,
                                    const panel_common::MuxLayout &mux,
                                    const std::vector<scan::ScanRow> &rows, double voltsPerCode);

// "pass", "fail", "no limit", "not measured", "scale unknown".
QString VerdictText(Verdict verdict);

// True when no input failed and every input with a limit was measured and judged.
bool BoardPasses(const std::vector<InputVerdict> &verdicts);

} // namespace cli
