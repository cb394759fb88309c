#include "readout_text.h"

#include "analysis/volts_text.h"
#include "duration_text.h"

#include "link/frames.h"

namespace capture {

QString FormatBytes(uint64_t bytes) {
    if (bytes < 1024)
        return QStringLiteral("%1 bytes").arg(bytes);
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KiB").arg(bytes / 1024.0, 0, 'f', 1);
    if (bytes < 1024ull * 1024 * 1024)
        return QStringLiteral("%1 MiB").arg(bytes / (1024.0 * 1024.0), 0, 'f', 2);
    return QStringLiteral("%1 GiB").arg(bytes / (1024.0 * 1024.0 * 1024.0), 0, 'f', 2);
}

QString FormatCodes(double codes, double voltsPerCode) {
    const QString text = QStringLiteral("%1 codes").arg(codes, 0, 'f', 2);
    if (!(voltsPerCode > 0))
        return text;
    return text + QStringLiteral(" (%1)").arg(
                      QString::fromStdString(analysis::FormatVolts(codes * voltsPerCode)));
}

QString FormatDrift(const DriftLine &drift, double voltsPerCode) {
    if (!drift.hasError())
        return QStringLiteral("- (needs three blocks)");
    const double slope = drift.slopePerHour(), error = drift.slopeErrorPerHour();
    if (voltsPerCode > 0)
        return QString::fromStdString(
            analysis::FormatVoltsWithSpread(slope * voltsPerCode, error * voltsPerCode, "/h"));
    return QStringLiteral("%1 \u00b1 %2 codes/h").arg(slope, 0, 'f', 2).arg(error, 0, 'f', 2);
}

namespace {
QString RateText(double measured, double nominal) {
    const QString chip = nominal > 0 ? QStringLiteral("chip: %1 SPS").arg(nominal)
                                     : QStringLiteral("chip rate not known");
    if (!(measured > 0))
        return QStringLiteral("- (%1)").arg(chip);
    // Four significant digits at least: a slow chip's rate still shows to a tenth of a percent.
    const int decimals = measured < 10 ? 3 : measured < 100 ? 2 : 1;
    return QStringLiteral("%1 samples/s (%2)").arg(measured, 0, 'f', decimals).arg(chip);
}
} // namespace

QString WireLimitNote(double nominalSps) {
    if (!(nominalSps > kWireItemsPerSecond))
        return QString();
    return QStringLiteral("The chip converts %1 SPS, but at %2 baud the line carries at most %3 "
                          "samples/s: that is what arrives.")
        .arg(nominalSps)
        .arg(kBaudRate)
        .arg(kWireItemsPerSecond);
}

ReadoutTexts MakeReadouts(const CaptureProgress &p, double voltsPerCode) {
    ReadoutTexts t;
    t.elapsed = FormatElapsed(p.elapsedSeconds);
    t.losses = p.losses == 0
                   ? QStringLiteral("none")
                   : QStringLiteral("%1 (%2 s in all)").arg(p.losses).arg(p.lostSeconds, 0, 'f', 1);
    t.samples = QString::number(p.samplesWritten);
    t.rate = RateText(p.rateSps, p.nominalSps);
    t.fileSize = FormatBytes(p.fileBytes);
    t.deadTotal = QStringLiteral("%1 ms").arg(p.deadSeconds * 1000.0, 0, 'f', 1);
    t.deadLongest = QStringLiteral("%1 ms").arg(p.longestDeadSeconds * 1000.0, 0, 'f', 1);
    t.blockMean = p.haveBlock ? FormatCodes(p.lastBlock.mean, voltsPerCode) : QStringLiteral("-");
    t.blockDeviation =
        p.haveBlock ? FormatCodes(p.lastBlock.deviation, voltsPerCode) : QStringLiteral("-");
    t.drift = FormatDrift(p.drift, voltsPerCode);
    t.clipped =
        p.clippedSamples == 0 || p.samplesWritten == 0
            ? QString::number(p.clippedSamples)
            : QStringLiteral("%1 (%2 % of the samples written)")
                  .arg(p.clippedSamples)
                  .arg(100.0 * double(p.clippedSamples) / double(p.samplesWritten), 0, 'f', 2);
    return t;
}

} // namespace capture
