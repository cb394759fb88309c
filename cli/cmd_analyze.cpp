// analyze: what a capture file says over its whole run, without a board: the file's facts,
// drift, noise density and Allan deviation, as text or JSON, and the plots' numbers as CSV.

#include "commands.h"
#include "exit_codes.h"
#include "output_formats.h"

#include "analysis/run_analysis.h"
#include "capture/capture_run.h"
#include "capture/run_report.h"
#include "platform/file_writer.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdio>

namespace cli {

namespace {

struct AnalyzeRequest {
    QStringList files;
    QString psdPath;
    QString allanPath;
    bool detrend = false;
    bool acceptGaps = false;
    bool json = false;
};

QString parseRequest(CommandContext &context, AnalyzeRequest &request) {
    QString error;
    const CommandArguments args = SplitArguments(
        context.options().arguments, {QStringLiteral("--psd"), QStringLiteral("--allan")},
        {QStringLiteral("--detrend"), QStringLiteral("--accept-gaps"), QStringLiteral("--json")},
        error);
    if (!error.isEmpty())
        return error;
    if (args.words.isEmpty())
        return QStringLiteral("analyze needs a capture file (or the parts of a split set)");
    request.files = args.words;
    request.psdPath = args.value(QStringLiteral("--psd"));
    request.allanPath = args.value(QStringLiteral("--allan"));
    request.detrend = args.has(QStringLiteral("--detrend"));
    request.acceptGaps = args.has(QStringLiteral("--accept-gaps"));
    request.json = context.options().json || args.has(QStringLiteral("--json"));
    // A plot's numbers written over a part of the run would lose the capture; two plots in
    // one file would lose the first.
    for (const QString &option : {QStringLiteral("--psd"), QStringLiteral("--allan")}) {
        const QString path = args.value(option);
        if (!path.isEmpty() && capture::IsOneOfTheFiles(path, request.files))
            return QStringLiteral("%1 %2: that is a file of the run; give the numbers a file of "
                                  "their own")
                .arg(option, path);
    }
    if (!request.psdPath.isEmpty() && !request.allanPath.isEmpty() &&
        QFileInfo(request.psdPath).absoluteFilePath() ==
            QFileInfo(request.allanPath).absoluteFilePath())
        return QStringLiteral("--psd and --allan name the same file");
    return QString();
}

QJsonValue finite(double value) {
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue();
}

QJsonValue optional(const std::optional<double> &value) {
    return value ? finite(*value) : QJsonValue();
}

void writeJson(std::ostream &out, const capture::CaptureRun &run,
               const analysis::RunSummary &summary, const analysis::RunAnalysis &result) {
    const capture::PartFacts &f = run.facts();
    const double lsb = f.claimedVoltsPerCode();
    auto volts = [lsb](double codes) { return lsb > 0 ? finite(codes * lsb) : QJsonValue(); };
    QJsonArray files, gaps, allan;
    for (const auto &part : run.parts())
        files.append(part->path());
    // Every gap, recorded ("recorded": the board was lost and reopened) or a missing part.
    for (const capture::RunGap &gap : run.gaps()) {
        QJsonObject object{{"kind", gap.recorded() ? "recorded" : "missingPart"},
                           {"firstSample", qint64(gap.firstSample)},
                           {"count", gap.count > 0 || gap.recorded() ? QJsonValue(qint64(gap.count))
                                                                     : QJsonValue()}};
        if (gap.recorded()) {
            object["startS"] = finite(gap.startSeconds);
            object["lengthS"] = finite(gap.lengthSeconds);
            object["startUtc"] = gap.startUtc.isEmpty() ? QJsonValue() : QJsonValue(gap.startUtc);
            object["cause"] = gap.cause;
        }
        gaps.append(object);
    }
    for (const analysis::AllanPoint &p : result.allan.points)
        allan.append(QJsonObject{{"tau", p.tau},
                                 {"m", qint64(p.m)},
                                 {"terms", qint64(p.terms)},
                                 {"edf", p.edf},
                                 {"adev", p.adev},
                                 {"low", p.low},
                                 {"high", p.high}});
    const analysis::DriftLine &drift = summary.drift;
    const analysis::NoiseDensity &d = result.density;
    // Without a rate the analyses count in samples: no drift per hour.
    const bool timed = run.sampleRateHz() > 0;
    auto perHour = [timed](double codesPerSecond, double scale) {
        return timed && scale > 0 ? finite(codesPerSecond * 3600 * scale) : QJsonValue();
    };
    const double white = d.whiteLevel ? std::sqrt(*d.whiteLevel) : std::nan("");
    // The floor only where the curve has one (analysis::FindAllanFloor), else null.
    const analysis::AllanFloor floor = analysis::FindAllanFloor(result.allan);
    QJsonValue floorValue;
    if (floor.kind == analysis::AllanFloor::Kind::Floor) {
        const analysis::AllanPoint &p = result.allan.points[floor.index];
        floorValue = QJsonObject{
            {"tau", p.tau}, {"adev", p.adev}, {"low", p.low}, {"high", p.high}, {"edf", p.edf}};
    }
    const std::optional<double> rateOff = capture::RateOffStated(run);
    // The figures, then the conversion facts as the file records them, under its names.
    QJsonObject object{
        {"files", files},
        {"chip", f.chip},
        {"startTime", f.startTime},
        {"stoppedBy", f.stoppedBy.isEmpty() ? QJsonValue() : QJsonValue(f.stoppedBy)},
        {"samples", qint64(run.count())},
        {"gaps", gaps},
        {"sampleRateSps", run.sampleRateHz() > 0 ? QJsonValue(run.sampleRateHz()) : QJsonValue()},
        {"rateFromTimes", run.rateFromTimes()},
        {"rateOffStated", rateOff ? QJsonValue(*rateOff) : QJsonValue()},
        {"voltsPerCode", lsb > 0 ? QJsonValue(lsb) : QJsonValue()},
        {"detrended", result.detrended},
        {"mean", drift.meanCodes},
        {"rms", result.stdDevCodes},
        {"driftCodesPerHour", perHour(drift.slopeCodesPerSecond, 1.0)},
        {"driftErrorCodesPerHour", perHour(drift.slopeErrorCodesPerSecond, 1.0)},
        {"driftMicrovoltsPerHour", perHour(drift.slopeCodesPerSecond, lsb * 1e6)},
        {"driftErrorMicrovoltsPerHour", perHour(drift.slopeErrorCodesPerSecond, lsb * 1e6)},
        {"whiteDensityCodes", finite(white)},
        {"whiteDensityVolts", volts(white)},
        {"cornerHz", optional(d.cornerHz)},
        {"segmentLength", qint64(d.segmentLength)},
        {"segments", qint64(d.segments)},
        {"allan", allan},
        {"allanFloor", floorValue},
    };
    object = WithConversionFacts(object, capture::RecordedConversion(f));
    out << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << '\n';
}

void writeText(std::ostream &out, const capture::CaptureRun &run,
               const analysis::RunSummary &summary, const analysis::RunAnalysis &result) {
    for (const auto &rows :
         {capture::RunFactRows(run), capture::RunFigureRows(run, summary, &result)}) {
        for (const auto &[caption, value] : rows)
            out << (caption + u':').leftJustified(32).toStdString() << value.toStdString() << '\n';
    }
    const double lsb = run.facts().claimedVoltsPerCode();
    out << "\nAllan deviation (68 % interval)\n";
    // Without a rate, tau counts samples.
    out << (run.sampleRateHz() > 0 ? "        tau_s" : "  tau_samples");
    out << (lsb > 0 ? "           m        adev_codes  low_codes   high_codes  adev_uV\n"
                    : "           m        adev_codes  low_codes   high_codes\n");
    char line[160];
    for (const analysis::AllanPoint &p : result.allan.points) {
        int n = std::snprintf(line, sizeof line, "%13.6g %11llu %17.6g %11.5g %11.5g", p.tau,
                              static_cast<unsigned long long>(p.m), p.adev, p.low, p.high);
        if (lsb > 0)
            n += std::snprintf(line + n, sizeof line - n, "  %9.4g", p.adev * lsb * 1e6);
        out << std::string(line, static_cast<size_t>(n)) << '\n';
    }
}

} // namespace

int RunAnalyze(CommandContext &context) {
    AnalyzeRequest request;
    const QString error = parseRequest(context, request);
    if (!error.isEmpty())
        return context.usage(error);
    for (const QString &path : {request.psdPath, request.allanPath}) {
        if (path.isEmpty())
            continue;
        const platform::FileError refused = platform::CheckWritableTarget(path);
        if (refused.failed()) {
            context.console().message(refused.text());
            return exit_code::kFile;
        }
    }
    capture::CaptureSet set = capture::ScanCaptureSet(request.files);
    for (const QString &problem : set.errors)
        context.console().message(problem);
    if (!set.errors.isEmpty())
        return exit_code::kFile;
    for (const QString &missing : set.missing)
        context.console().message(missing);
    const QStringList notGiven =
        set.missing.isEmpty() ? QStringList() : capture::PartsNotGiven(request.files);
    QStringList every = request.files + notGiven;
    every.sort();
    if (!notGiven.isEmpty())
        context.console().message(
            QStringLiteral("%1 of this split set %2 in the folder but not given: name every "
                           "part to include them (pellorin-cli analyze %3)")
                .arg(notGiven.join(QStringLiteral(", ")),
                     notGiven.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"),
                     every.join(u' ')));
    if (!set.missing.isEmpty() && !request.acceptGaps) {
        context.console().message(QStringLiteral(
            "the split set is not whole: give its missing parts, or --accept-gaps to analyze "
            "it with the gaps left out"));
        return exit_code::kFile;
    }
    std::unique_ptr<capture::CaptureRun> run = capture::OpenRun(std::move(set), true);
    if (!run || run->count() == 0) {
        context.console().message(
            QStringLiteral("%1: holds no complete sample").arg(request.files.join(u' ')));
        return exit_code::kFile;
    }
    // Without a rate the figures are per sample: frequencies in cycles per sample, tau in
    // samples, drift per sample (the fact rows say so).
    const double rate = run->sampleRateHz() > 0 ? run->sampleRateHz() : 1.0;
    std::string reason;
    const std::optional<analysis::RunSummary> summary =
        analysis::SummarizeRun(*run, rate, nullptr, reason);
    const std::optional<analysis::RunAnalysis> result =
        summary ? analysis::AnalyzeRun(*run, rate, *summary, request.detrend, reason)
                : std::nullopt;
    if (!result) {
        context.console().message(QString::fromStdString(reason));
        return exit_code::kFile;
    }
    // The files first: a reader that has gone (analyze F | head) costs no file. The figures
    // are printed even when a file could not be written; the exit status tells.
    const double lsb = run->facts().claimedVoltsPerCode();
    int fileStatus = exit_code::kOk;
    const bool perSample = !(run->sampleRateHz() > 0);
    if (!request.psdPath.isEmpty())
        fileStatus = context.writeWholeFile(request.psdPath, [&](const auto &sink) {
            return analysis::WriteNoiseDensityCsv(result->density, lsb, perSample, sink);
        });
    if (!request.allanPath.isEmpty()) {
        const int status = context.writeWholeFile(
            request.allanPath, analysis::AllanCsv(result->allan, lsb, perSample));
        fileStatus = fileStatus != exit_code::kOk ? fileStatus : status;
    }
    if (request.json)
        writeJson(context.out(), *run, *summary, *result);
    else
        writeText(context.out(), *run, *summary, *result);
    context.out().flush();
    return fileStatus;
}

} // namespace cli
