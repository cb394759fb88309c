#include "capture_reader.h"

#include "capture_file_format.h"
#include "capture_part.h"
#include "file_names.h"

#include "analysis/sample_times.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <memory>
#include <span>

namespace capture {

namespace {
CaptureFacts FactsOf(const PartFacts &part) {
    CaptureFacts facts;
    facts.chipName = part.chip;
    facts.registers = part.registers;
    facts.conversion = RecordedConversion(part);
    facts.programVersion = part.programVersion;
    facts.startTime = part.startTime;
    facts.boardIdentity = part.boardIdentity;
    facts.runStartUtc = part.runStartUtc;
    return facts;
}

// The part readers say "PATH: cause"; the cause alone.
QString CauseOf(const QString &error, const QString &path) {
    const QString prefix = path + QStringLiteral(": ");
    return error.startsWith(prefix) ? error.mid(prefix.size()) : error;
}

// The codes of the files read before stay; no times are claimed for them.
void Fail(CaptureRead &read, const QString &path, const QString &cause) {
    read.times.clear();
    read.timeRule.clear();
    read.gaps.clear();
    read.errorPath = path;
    read.errorCause = cause;
    read.error = QStringLiteral("%1: %2").arg(path, cause);
}
} // namespace

QStringList CaptureRunFiles(const QString &path) {
    QString run = path;
    // run_0003.h5 belongs to the run run.h5.
    static const QRegularExpression numbered(QStringLiteral("^(.*)_(\\d{4,})(\\.[^./]*)?$"));
    const QRegularExpressionMatch match = numbered.match(path);
    if (match.hasMatch() && QFileInfo::exists(path))
        run = match.captured(1) + match.captured(3);
    else if (QFileInfo::exists(path) || !QFileInfo::exists(PartPath(path, 1, true)))
        return {path};
    QStringList files;
    for (int number = 1; QFileInfo::exists(PartPath(run, number, true)); ++number)
        files << PartPath(run, number, true);
    return files;
}

CaptureRead ReadCapture(const QString &path, bool withTimes) {
    CaptureRead read;
    // Each sample's time as the files record it, while every file so far has them by one rule.
    bool recorded = withTimes;
    // The run-wide index the next file starts at: the samples read and the conversions lost.
    uint64_t runNext = 0;
    for (const QString &file : CaptureRunFiles(path)) {
        // The files are read by the same part readers as the long-run analysis reads them.
        QString error;
        const std::unique_ptr<CapturePart> part =
            QFileInfo::exists(file) ? OpenCapturePart(file, error) : nullptr;
        if (!part) {
            Fail(read, file,
                 QFileInfo::exists(file) ? CauseOf(error, file)
                                         : QStringLiteral("No such file or directory"));
            return read;
        }
        const PartFacts &facts = part->facts();
        const uint64_t before = read.codes.size();
        if (facts.firstSample != runNext) {
            Fail(read, file,
                 QStringLiteral("Starts at sample %1, not %2: a file of the run is missing")
                     .arg(facts.firstSample)
                     .arg(runNext));
            return read;
        }
        recorded = recorded && part->hasTimes() && !facts.timeRule.isEmpty() &&
                   (read.paths.isEmpty() || facts.timeRule == read.timeRule);
        const size_t count = static_cast<size_t>(part->count());
        read.codes.resize(before + count);
        read.times.resize(recorded ? before + count : 0);
        const std::span<int32_t> codes(read.codes.data() + before, count);
        const std::span<double> times =
            recorded ? std::span<double>(read.times.data() + before, count) : std::span<double>();
        if (!part->read(0, codes, times)) {
            read.codes.resize(before);
            Fail(read, file, CauseOf(part->errorText(), file));
            return read;
        }
        if (recorded)
            read.timeRule = facts.timeRule;
        uint64_t lost = 0;
        for (const GapRecord &gap : part->gaps()) {
            lost += gap.lost;
            read.gaps.push_back(
                {gap, file, before + gap.atSample, facts.firstSample + gap.atSample + lost});
        }
        runNext = facts.firstSample + count + lost;
        if (read.paths.isEmpty())
            read.facts = FactsOf(facts);
        // A file the capture never closed says so, whichever format.
        read.stoppedBy = facts.stoppedBy.isEmpty()
                             ? QString::fromLatin1(format::kStoppedByUnfinished)
                             : facts.stoppedBy;
        read.paths << file;
    }
    // Files without their samples' times (older captures) are given index / data rate.
    if (withTimes && !recorded) {
        // A rate guessed from the registers (a mode not known) is no clock to claim.
        const conversion::ConversionFacts &conversion = read.facts.conversion;
        const double rate = conversion.modeKnown ? conversion.dataRateSps : 0.0;
        read.times.clear();
        read.timeRule.clear();
        if (rate > 0) {
            // By run-wide index: the conversions lost in a gap took their time too.
            read.times.resize(read.codes.size());
            uint64_t skipped = 0;
            auto gap = read.gaps.begin();
            for (size_t i = 0; i < read.times.size(); ++i) {
                for (; gap != read.gaps.end() && gap->index <= i; ++gap)
                    skipped = gap->firstSample - gap->index;
                read.times[i] = static_cast<double>(i + skipped) / rate;
            }
            read.timeRule = QString::fromLatin1(analysis::kRateTimeRule);
        }
    }
    if (!withTimes)
        read.times.clear();
    // A file closed for a split has a successor: the run is not whole without it.
    if (read.stoppedBy == QLatin1String(format::kStoppedBySplit))
        Fail(read, read.paths.last(),
             QStringLiteral("The run goes on in a next file, which is missing"));
    return read;
}

} // namespace capture
