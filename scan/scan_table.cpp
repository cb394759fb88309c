#include "scan_table.h"

#include "analysis/volts_text.h"

#include <cmath>
#include <cstdio>

namespace scan {
namespace {
QString number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

// "1.234", or "1.234 \u00B1 0.010" when repeats give a spread.
QString withSpread(double value, double spread, int repeats, int decimals) {
    QString text = number(value, decimals);
    if (repeats > 1)
        text += QStringLiteral(" \u00B1 ") + number(spread, decimals);
    return text;
}

// "%.9g", or nothing for a value that is not a finite number.
std::string csvNumber(double value) {
    if (!std::isfinite(value))
        return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}
} // namespace

QStringList ScanHeadings() {
    return {QStringLiteral("Input"),
            QStringLiteral("Mean (codes)"),
            QStringLiteral("Mean (volts)"),
            QStringLiteral("Std dev (codes)"),
            QStringLiteral("Std dev (volts)"),
            QStringLiteral("Peak-to-peak (codes)"),
            QStringLiteral("Effective resolution (bits)"),
            QStringLiteral("Noise-free resolution (bits)"),
            QStringLiteral("Minimum (codes)"),
            QStringLiteral("Maximum (codes)"),
            QStringLiteral("Clipped samples")};
}

QStringList ScanRowCells(const MuxLayout &layout, const ScanRow &row, double lsbVolts) {
    QStringList cells(kScanColumnCount);
    cells[kInputColumn] = InputLabel(layout, row.input);
    const RowFigures f = SummarizeRow(row);
    if (f.repeats == 0)
        return cells;
    // Averages of whole codes are whole only for one repeat.
    const int codeDecimals = f.repeats > 1 ? 1 : 0;
    cells[kMeanCodesColumn] = withSpread(f.mean, f.meanSpread, f.repeats, 3);
    cells[kStdDevCodesColumn] = withSpread(f.stdDev, f.stdDevSpread, f.repeats, 3);
    const QString unknown = QStringLiteral("-");
    // From nanovolts of noise to volts of input: each cell in the unit that shows its digits.
    auto volts = [&](double codes, double spread) {
        if (!(lsbVolts > 0))
            return unknown;
        return QString::fromStdString(analysis::FormatVoltsWithSpread(
            codes * lsbVolts, f.repeats > 1 ? spread * lsbVolts : 0.0));
    };
    cells[kMeanVoltsColumn] = volts(f.mean, f.meanSpread);
    cells[kStdDevVoltsColumn] = volts(f.stdDev, f.stdDevSpread);
    cells[kPeakToPeakColumn] = number(f.peakToPeak, codeDecimals);
    const QString noNoise = QString::fromUtf8(analysis::kNoNoiseText);
    cells[kEffectiveBitsColumn] = f.noNoise ? noNoise : number(f.effectiveBits, 2);
    cells[kNoiseFreeBitsColumn] = f.noNoise ? noNoise : number(f.noiseFreeBits, 2);
    cells[kMinimumColumn] = number(f.minimum, codeDecimals);
    cells[kMaximumColumn] = number(f.maximum, codeDecimals);
    cells[kClippedColumn] = QString::number(f.clipped);
    return cells;
}

std::string ScanCsv(const MuxLayout &layout, const std::vector<ScanRow> &rows, double lsbVolts) {
    std::string out = "positive,negative,repeats,samples,mean_codes,mean_uv,std_dev_codes,"
                      "std_dev_uv,peak_to_peak_codes,effective_bits,noise_free_bits,minimum,"
                      "maximum,clipped,mean_spread_codes,std_dev_spread_codes\n";
    const double uv = lsbVolts > 0 ? lsbVolts * 1e6 : std::nan("");
    for (const ScanRow &row : rows) {
        const RowFigures f = SummarizeRow(row);
        if (f.repeats == 0)
            continue;
        const std::string fields[] = {
            panel_common::InputName(layout, row.input.positive).toStdString(),
            panel_common::InputName(layout, row.input.negative).toStdString(),
            std::to_string(f.repeats),
            std::to_string(f.samples),
            csvNumber(f.mean),
            csvNumber(f.mean * uv),
            csvNumber(f.stdDev),
            csvNumber(f.stdDev * uv),
            csvNumber(f.peakToPeak),
            csvNumber(f.effectiveBits),
            csvNumber(f.noiseFreeBits),
            csvNumber(f.minimum),
            csvNumber(f.maximum),
            std::to_string(f.clipped),
            csvNumber(f.meanSpread),
            csvNumber(f.stdDevSpread),
        };
        for (size_t i = 0; i < std::size(fields); ++i) {
            if (i > 0)
                out += ',';
            out += fields[i];
        }
        out += '\n';
    }
    return out;
}

} // namespace scan
