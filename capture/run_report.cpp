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

QString TauText(double tau, bool timed) {
    return timed ? QStringLiteral("%1 s").arg(Number(tau, 4))
                 : QStringLiteral("%1 samples").arg(Number(tau, 6));
}

// The floor where the curve has one; else why there is none, with its lowest trusted point.
QString AllanFloorText(const analysis::AllanDeviation &allan, double lsb, bool timed) {
    const analysis::AllanFloor floor = analysis::FindAllanFloor(allan);
    using Kind = analysis::AllanFloor::Kind;
    if (floor.kind == Kind::TooFewDegrees)
        return QStringLiteral("none: no point has %1 degrees of freedom")
            .arg(Number(analysis::kFloorEdf));
    const analysis::AllanPoint &p = allan.points[floor.index];
    const QString inCodes = QStringLiteral("%1 codes").arg(Number(p.adev, 4));
    const QString value =
        lsb > 0 ? QStringLiteral("%1 (%2)").arg(VoltsText(p.adev * lsb), inCodes) : inCodes;
    const QString at = QStringLiteral("%1 at τ = %2").arg(value, TauText(p.tau, timed));
    switch (floor.kind) {
    case Kind::Floor:
        return QStringLiteral("%1; 68 %: %2 to %3 codes")
            .arg(at, Number(p.low, 3), Number(p.high, 3));
    case Kind::StillFalling:
        return QStringLiteral("none: still falling at the longest τ (lowest trusted: %1)").arg(at);
    default:
        return QStringLiteral("none: lowest at the shortest τ (%1), rising beyond").arg(at);
    }
}

QString SecondsText(double seconds) {
    return seconds < 60
               ? QStringLiteral("%1 s").arg(Number(seconds, 4))
               : QStringLiteral("%1 (%2 s)").arg(FormatDuration(seconds), Number(seconds, 8));
}

// "Gaps": how many and how long in all; then one row per loss: when, why, how long, how many
// conversions.
void AppendLosses(ReportRows &rows, const std::vector<RunGap> &gaps) {
    if (gaps.empty())
        return;
    double seconds = 0;
    uint64_t lost = 0;
    for (const RunGap &gap : gaps) {
        seconds += gap.lengthSeconds;
        lost += gap.count;
    }
    rows.append({QStringLiteral("Gaps"),
                 QStringLiteral("%1 (the board was lost and reopened), %2 in all, %3 conversions "
                                "lost: left out of every figure")
                     .arg(gaps.size())
                     .arg(SecondsText(seconds))
                     .arg(lost)});
    int number = 0;
    for (const RunGap &gap : gaps) {
        const QString when =
            gap.startUtc.isEmpty()
                ? QStringLiteral("at %1 s").arg(Number(gap.startSeconds, 8))
                : QStringLiteral("%1 (%2 s)").arg(gap.startUtc, Number(gap.startSeconds, 8));
        const QString lostText = gap.count == 0
                                     ? QStringLiteral("no conversion lost")
                                     : QStringLiteral("%1 conversions lost (samples %2 to %3)")
                                           .arg(gap.count)
                                           .arg(gap.firstSample)
                                           .arg(gap.firstSample + gap.count - 1);
        rows.append(
            {QStringLiteral("Gap %1").arg(++number),
             QStringLiteral("%1: %2; %3, %4")
                 .arg(when, gap.cause.isEmpty() ? QStringLiteral("cause not recorded") : gap.cause,
                      SecondsText(gap.lengthSeconds), lostText)});
    }
}

} // namespace

QString VoltsText(double volts) {
    return QString::fromStdString(analysis::FormatVolts(volts));
}

QString DensityText(double voltsPerRootHz) {
    return QString::fromStdString(analysis::FormatVolts(voltsPerRootHz, "/\u221AHz"));
}

std::optional<double> RateOffStated(const CaptureRun &run) {
    const double stated = run.facts().claimedDataRateSps();
    if (!run.rateFromTimes() || !(stated > 0))
        return std::nullopt;
    const double off = run.sampleRateHz() / stated - 1.0;
    if (!(std::abs(off) > kRateTolerance))
        return std::nullopt;
    return off;
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
    if (!f.runStartUtc.isEmpty())
        rows.append({QStringLiteral("Run start (UTC)"), f.runStartUtc});
    if (!f.boardIdentity.isEmpty())
        rows.append({QStringLiteral("Board"), f.boardIdentity});
    rows.append({QStringLiteral("Stopped by"), StoppedByText(f.stoppedBy)});
    QString samples = QString::number(run.count());
    for (const RunGap &gap : run.missingParts()) {
        samples += gap.count > 0 ? QStringLiteral("; samples %1 to %2 missing (left out)")
                                       .arg(gap.firstSample)
                                       .arg(gap.firstSample + gap.count - 1)
                                 : QStringLiteral("; missing after sample %1").arg(gap.firstSample);
    }
    rows.append({QStringLiteral("Samples"), samples});
    AppendLosses(rows, run.recordedGaps());
    const double rate = run.sampleRateHz();
    if (rate > 0) {
        rows.append(
            {QStringLiteral("Length"), FormatDuration(static_cast<double>(run.count()) / rate)});
        QString rateText = QStringLiteral("%1 SPS (%2)")
                               .arg(Number(rate, 7), run.rateFromTimes()
                                                         ? QStringLiteral("from the samples' times")
                                                         : QStringLiteral("nominal"));
        const std::optional<double> off = RateOffStated(run);
        if (off)
            rateText += QStringLiteral(": %1 % %2 than the %3 SPS the file states")
                            .arg(Number(std::abs(*off) * 100, 3),
                                 *off > 0 ? QStringLiteral("faster") : QStringLiteral("slower"),
                                 Number(f.claimedDataRateSps(), 7));
        rows.append({QStringLiteral("Sample rate"), rateText});
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
    const bool timed = run.sampleRateHz() > 0;
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
    if (!timed)
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
        // Without a rate the frequencies are in cycles per sample, densities per such a cycle.
        const QString hz = timed ? QStringLiteral("Hz") : QStringLiteral("cycles per sample");
        const char *perRootHz = timed ? "/\u221AHz" : " per \u221A(cycle per sample)";
        const double root = d.whiteLevel ? std::sqrt(*d.whiteLevel) : 0.0;
        const QString inCodes =
            QStringLiteral("%1 codes%2").arg(Number(root), QString::fromUtf8(perRootHz));
        const QString white =
            d.whiteLevel
                ? (lsb > 0
                       ? QStringLiteral("%1 (%2)").arg(
                             QString::fromStdString(analysis::FormatVolts(root * lsb, perRootHz)),
                             inCodes)
                       : inCodes)
                : QStringLiteral("none: the density is not flat below half the rate");
        rows.append({QStringLiteral("White noise density"), white});
        rows.append({QStringLiteral("1/f corner"),
                     d.cornerHz ? QStringLiteral("%1 %2").arg(Number(*d.cornerHz, 3), hz)
                                : QStringLiteral("none")});
        rows.append(
            {QStringLiteral("Welch segments"), QStringLiteral("%1 of %2 samples, %3 %4 apart")
                                                   .arg(d.segments)
                                                   .arg(d.segmentLength)
                                                   .arg(Number(d.binHz, 4), hz)});
    }
    if (!analysis->allan.points.empty())
        rows.append(
            {QStringLiteral("Allan deviation floor"), AllanFloorText(analysis->allan, lsb, timed)});
    return rows;
}

} // namespace capture
