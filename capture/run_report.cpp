#include "run_report.h"

#include "duration_text.h"

#include "analysis/volts_text.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace capture {
namespace {

QString Number(double value, int digits = 4) {
    return QString::number(value, 'g', digits);
}

// "12.3 µV (4.56 codes)" with a scale, "4.56 codes" without.
QString CodesText(double codes, double voltsPerCode) {
    const QString inCodes = QStringLiteral("%1 codes").arg(Number(codes, 6));
    return voltsPerCode > 0
               ? QStringLiteral("%1 (%2)").arg(VoltsText(codes * voltsPerCode), inCodes)
               : inCodes;
}

QString SignedNumber(double value, int digits) {
    return (value >= 0 ? QStringLiteral("+") : QString()) + Number(value, digits);
}

// A figure the file gives, or that it gives only a guess from the registers (the mode unknown).
QString FigureText(double value, bool known, const QString &text) {
    if (!(value > 0))
        return QStringLiteral("unknown");
    return known ? text
                 : QStringLiteral("%1 (from the registers: the mode was not known)").arg(text);
}

} // namespace

QString VoltsText(double volts) {
    return QString::fromStdString(analysis::FormatVolts(volts));
}

QString DensityText(double voltsPerRootHz) {
    return QString::fromStdString(analysis::FormatVolts(voltsPerRootHz, "/\u221AHz"));
}

ReportRows RunFactRows(const CaptureRun &run) {
    const PartFacts &f = run.facts();
    ReportRows rows;
    QStringList files;
    for (const auto &part : run.parts())
        files << QFileInfo(part->path()).fileName();
    rows.append({QStringLiteral("Files"), files.join(QStringLiteral(", "))});
    rows.append({QStringLiteral("Chip"), f.chip.isEmpty() ? QStringLiteral("unknown") : f.chip});
    QStringList registers;
    for (uint8_t value : f.registers)
        registers << QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    rows.append({QStringLiteral("Registers"),
                 registers.isEmpty() ? QStringLiteral("not recorded") : registers.join(u' ')});
    QString reference = f.referenceVolts > 0
                            ? QStringLiteral("%1 V").arg(Number(f.referenceVolts, 6))
                            : QStringLiteral("unknown");
    if (!f.referenceSource.isEmpty())
        reference += QStringLiteral(" (%1)").arg(f.referenceSource);
    rows.append({QStringLiteral("Reference"), reference});
    if (!f.mode.isEmpty())
        rows.append({QStringLiteral("Mode"), f.mode});
    rows.append(
        {QStringLiteral("PGA gain"), FigureText(f.pgaGain, f.modeKnown, Number(f.pgaGain, 6))});
    rows.append({QStringLiteral("Data rate"),
                 FigureText(f.dataRateSps, f.modeKnown,
                            QStringLiteral("%1 SPS").arg(Number(f.dataRateSps, 6)))});
    QString scale = QStringLiteral("unknown: figures in codes");
    if (f.claimedVoltsPerCode() > 0)
        scale = QStringLiteral("%1 per code").arg(VoltsText(f.claimedVoltsPerCode()));
    else if (f.voltsPerCode > 0)
        scale = QStringLiteral("%1 per code from the registers (the mode was not known): figures "
                               "in codes")
                    .arg(VoltsText(f.voltsPerCode));
    rows.append({QStringLiteral("Scale"), scale});
    rows.append(
        {QStringLiteral("Start"), f.startTime.isEmpty() ? QStringLiteral("unknown") : f.startTime});
    rows.append({QStringLiteral("Stopped by"), StoppedByText(f.stoppedBy)});
    QString samples = QString::number(run.count());
    for (const RunGap &gap : run.gaps()) {
        samples += gap.count > 0 ? QStringLiteral("; samples %1 to %2 missing (left out)")
                                       .arg(gap.firstSample)
                                       .arg(gap.firstSample + gap.count - 1)
                                 : QStringLiteral("; missing after sample %1").arg(gap.firstSample);
    }
    rows.append({QStringLiteral("Samples"), samples});
    const double rate = run.sampleRateHz();
    if (rate > 0) {
        rows.append(
            {QStringLiteral("Length"), FormatDuration(static_cast<double>(run.count()) / rate)});
        rows.append({QStringLiteral("Sample rate"),
                     QStringLiteral("%1 SPS (%2)")
                         .arg(Number(rate, 7), run.rateFromTimes()
                                                   ? QStringLiteral("from the samples' times")
                                                   : QStringLiteral("nominal"))});
    } else {
        rows.append(
            {QStringLiteral("Sample rate"),
             QStringLiteral("unknown: times in samples, frequencies in cycles per sample")});
    }
    return rows;
}

ReportRows RunFigureRows(const CaptureRun &run, const analysis::RunSummary &summary,
                         const analysis::RunAnalysis *analysis) {
    const double lsb = run.facts().claimedVoltsPerCode();
    const analysis::DriftLine &drift = summary.drift;
    ReportRows rows;
    rows.append({QStringLiteral("Mean"), CodesText(drift.meanCodes, lsb)});
    const bool detrended = analysis && analysis->detrended;
    rows.append(
        {detrended ? QStringLiteral("RMS noise about the drift line") : QStringLiteral("RMS noise"),
         CodesText(detrended ? drift.residualRmsCodes : summary.rmsAboutMeanCodes, lsb)});
    const double perHour = drift.slopeCodesPerSecond * 3600,
                 errorPerHour = drift.slopeErrorCodesPerSecond * 3600;
    QString driftText =
        QStringLiteral("%1 ± %2 codes/h").arg(SignedNumber(perHour, 4), Number(errorPerHour, 2));
    if (lsb > 0)
        driftText =
            QStringLiteral("%1 (%2)").arg(QString::fromStdString(analysis::FormatVoltsWithSpread(
                                              perHour * lsb, errorPerHour * lsb, "/h")),
                                          driftText);
    // Without a rate the analyses count in samples: the slope is per sample.
    if (!(run.sampleRateHz() > 0))
        driftText = QStringLiteral("%1 ± %2 codes per sample")
                        .arg(SignedNumber(drift.slopeCodesPerSecond, 4),
                             Number(drift.slopeErrorCodesPerSecond, 2));
    rows.append({QStringLiteral("Drift"), driftText});
    if (!analysis)
        return rows;
    const analysis::NoiseDensity &d = analysis->density;
    if (d.segments == 0) {
        rows.append({QStringLiteral("Noise density"), QStringLiteral("too few samples")});
    } else {
        const QString white =
            d.whiteLevel
                ? (lsb > 0 ? QStringLiteral("%1 (%2 codes/√Hz)")
                                 .arg(DensityText(std::sqrt(*d.whiteLevel) * lsb),
                                      Number(std::sqrt(*d.whiteLevel)))
                           : QStringLiteral("%1 codes/√Hz").arg(Number(std::sqrt(*d.whiteLevel))))
                : QStringLiteral("none: the density is not flat below half the rate");
        rows.append({QStringLiteral("White noise density"), white});
        rows.append({QStringLiteral("1/f corner"),
                     d.cornerHz ? QStringLiteral("%1 Hz").arg(Number(*d.cornerHz, 3))
                                : QStringLiteral("none")});
        rows.append(
            {QStringLiteral("Welch segments"), QStringLiteral("%1 of %2 samples, %3 Hz apart")
                                                   .arg(d.segments)
                                                   .arg(d.segmentLength)
                                                   .arg(Number(d.binHz, 4))});
    }
    const std::vector<analysis::AllanPoint> &points = analysis->allan.points;
    if (!points.empty()) {
        const auto least =
            std::min_element(points.begin(), points.end(),
                             [](const auto &a, const auto &b) { return a.adev < b.adev; });
        rows.append({QStringLiteral("Allan deviation minimum"),
                     QStringLiteral("%1 at τ = %2 s")
                         .arg(CodesText(least->adev, lsb), Number(least->tau, 4))});
    }
    return rows;
}

} // namespace capture
