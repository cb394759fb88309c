#pragma once
// The scan's table as text: the headings and cells the window and the command line show, and
// the CSV that "Export..." and --out write. Volts use the analysis window's scale (one code is
// the full-scale range over 2^24), each cell in nV, µV, mV or V as its value needs, the CSV in
// microvolts; without a scale the volt cells say "-" and the CSV leaves them empty. No widgets.

#include "scan_figures.h"

#include <QStringList>

#include <string>
#include <vector>

namespace scan {

enum ScanColumn {
    kInputColumn,
    kMeanCodesColumn,
    kMeanVoltsColumn,
    kStdDevCodesColumn,
    kStdDevVoltsColumn,
    kPeakToPeakColumn,
    kEffectiveBitsColumn,
    kNoiseFreeBitsColumn,
    kMinimumColumn,
    kMaximumColumn,
    kClippedColumn,
    kScanColumnCount
};

// One heading per ScanColumn: "Input", "Mean (codes)", "Mean (volts)" ...
QStringList ScanHeadings();

// The cells of a row, one per ScanColumn. With repeats the mean and the standard deviation
// carry their spread ("12.345 \u00B1 0.021", "512 \u00B1 21 nV"); a row without noise says so in
// its resolution cells; a row not measured yet is empty but for its input.
QStringList ScanRowCells(const MuxLayout &layout, const ScanRow &row, double lsbVolts);

// A heading line, then one line per measured row: full precision, microvolts empty without a
// scale, resolutions empty for a row without noise.
std::string ScanCsv(const MuxLayout &layout, const std::vector<ScanRow> &rows, double lsbVolts);

} // namespace scan
