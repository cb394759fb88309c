#include "capture_run.h"

#include "capture_file_format.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace capture {
namespace {
// A part of a split set that is not there: samples [first, first + count).
RunGap MissingPart(uint64_t first, uint64_t count) {
    RunGap gap;
    gap.firstSample = first;
    gap.count = count;
    return gap;
}

// The parts of one run share chip, start time and, where the files record them, the board and
// the run's start instant.
bool SameRun(const PartFacts &a, const PartFacts &b) {
    return a.chip == b.chip && a.startTime == b.startTime && a.boardIdentity == b.boardIdentity &&
           a.runStartUtc == b.runStartUtc;
}

// stem, digits, suffix of a numbered part's file name ("run", "0002", ".h5").
const QRegularExpression &NumberedName() {
    static const QRegularExpression pattern(QStringLiteral("^(.*)_(\\d{4,})(\\.[A-Za-z0-9]+)$"));
    return pattern;
}

// The name the capture gives part number of the set path belongs to; "part N" when path is
// not numbered.
QString PartName(const QString &path, int number) {
    const QFileInfo info(path);
    const QRegularExpressionMatch match = NumberedName().match(info.fileName());
    if (!match.hasMatch())
        return QStringLiteral("part %1").arg(number);
    const QString digits =
        QStringLiteral("%1").arg(number, int(match.capturedLength(2)), 10, QLatin1Char('0'));
    return info.dir().filePath(match.captured(1) + u'_' + digits + match.captured(3));
}

// Why a part's recorded figures cannot be used ("data_rate_sps is inf: ..."), or empty. A rate
// of NaN, 0 or 1e300 would give lengths, densities and drifts that mean nothing.
QString ImplausibleFact(const PartFacts &f) {
    const char *rateName = f.modeKnown ? format::kDataRate : format::kDataRateGuess;
    if (f.dataRateRecorded &&
        !(f.dataRateSps >= kMinDataRateSps && f.dataRateSps <= kMaxDataRateSps))
        return QStringLiteral("%1 is %2: a rate must be from %3 to %4 samples a second")
            .arg(QLatin1String(rateName))
            .arg(f.dataRateSps)
            .arg(kMinDataRateSps)
            .arg(kMaxDataRateSps, 0, 'f', 0);
    const char *scaleName = f.modeKnown ? format::kVoltsPerCode : format::kVoltsPerCodeGuess;
    if (!std::isfinite(f.voltsPerCode) || f.voltsPerCode < 0)
        return QStringLiteral("%1 is %2: a scale must be a number above 0")
            .arg(QLatin1String(scaleName))
            .arg(f.voltsPerCode);
    return QString();
}

QString RegistersText(const std::vector<uint8_t> &registers) {
    QStringList bytes;
    for (uint8_t value : registers)
        bytes << QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    return bytes.join(u' ');
}

// What differs between two parts of one capture that their samples cannot share a scale or a
// rate over ("its data_rate_sps is 200 where ... has 100"), or empty.
QString Mismatch(const PartFacts &a, const PartFacts &b) {
    auto figure = [](const char *name, double x, double y) {
        return x == y || (std::isnan(x) && std::isnan(y))
                   ? QString()
                   : QStringLiteral("its %1 is %2 where that part has %3")
                         .arg(QLatin1String(name))
                         .arg(x, 0, 'g', 10)
                         .arg(y, 0, 'g', 10);
    };
    for (const QString &text :
         {figure(format::kDataRate, b.dataRateSps, a.dataRateSps),
          figure(format::kVoltsPerCode, b.voltsPerCode, a.voltsPerCode),
          figure(format::kPgaGain, b.pgaGain, a.pgaGain),
          figure(format::kReferenceVolts, b.referenceVolts, a.referenceVolts)}) {
        if (!text.isEmpty())
            return text;
    }
    if (a.registers != b.registers)
        return QStringLiteral("its registers are %1 where that part has %2")
            .arg(RegistersText(b.registers), RegistersText(a.registers));
    if (a.mode != b.mode || a.modeKnown != b.modeKnown)
        return QStringLiteral("its mode is \"%1\" where that part has \"%2\"").arg(b.mode, a.mode);
    return QString();
}

void FindMissing(CaptureSet &set) {
    uint64_t expectedFirst = 0;
    int expectedNumber = 1;
    const QString &anyPath = set.parts.front()->path();
    for (const std::unique_ptr<CapturePart> &part : set.parts) {
        const PartFacts &f = part->facts();
        if (f.firstSample < expectedFirst) {
            set.errors << QStringLiteral("%1: its samples overlap those of the part before it")
                              .arg(part->path());
            return;
        }
        if (f.firstSample > expectedFirst || f.fileNumber > expectedNumber) {
            QStringList names;
            for (int n = expectedNumber; n < f.fileNumber; ++n)
                names << PartName(anyPath, n);
            if (names.isEmpty())
                names << QStringLiteral("samples before %1").arg(part->path());
            set.missing << QStringLiteral("%1: missing from the split set (samples %2 to %3)")
                               .arg(names.join(QStringLiteral(", ")))
                               .arg(expectedFirst)
                               .arg(f.firstSample - 1);
            set.gaps.push_back(MissingPart(expectedFirst, f.firstSample - expectedFirst));
        }
        expectedFirst = f.firstSample + part->count() + part->lost();
        expectedNumber = f.fileNumber + 1;
    }
    const CapturePart &last = *set.parts.back();
    if (last.facts().stoppedBy == QLatin1String(format::kStoppedBySplit)) {
        set.missing << QStringLiteral("%1: missing from the split set (the run goes on after %2)")
                           .arg(PartName(anyPath, expectedNumber), last.path());
        set.gaps.push_back(MissingPart(expectedFirst, 0));
    }
}

} // namespace

CaptureSet ScanCaptureSet(const QStringList &paths, const std::atomic<bool> *cancel) {
    CaptureSet set;
    for (const QString &path : paths) {
        if (cancel && cancel->load()) {
            set.errors << QStringLiteral("%1: reading given up").arg(path);
            break;
        }
        QString error;
        std::unique_ptr<CapturePart> part = OpenCapturePart(path, error, cancel);
        const QString implausible = part ? ImplausibleFact(part->facts()) : QString();
        if (!implausible.isEmpty())
            set.errors << QStringLiteral("%1: %2").arg(path, implausible);
        else if (part)
            set.parts.push_back(std::move(part));
        else
            set.errors << error;
    }
    if (!set.errors.isEmpty())
        return set;
    if (set.parts.empty()) {
        set.errors << QStringLiteral("no capture file given");
        return set;
    }
    std::stable_sort(set.parts.begin(), set.parts.end(), [](const auto &a, const auto &b) {
        return std::pair(a->facts().firstSample, a->facts().fileNumber) <
               std::pair(b->facts().firstSample, b->facts().fileNumber);
    });
    const CapturePart &first = *set.parts.front();
    for (size_t i = 1; i < set.parts.size(); ++i) {
        const CapturePart &part = *set.parts[i];
        if (!SameRun(part.facts(), first.facts())) {
            // Another capture altogether: its numbering says nothing about this one's. Two
            // boards of one chip started in the same second are told apart by their identity.
            set.errors << QStringLiteral("%1: not a part of the same capture as %2 (another "
                                         "board, chip or start time)")
                              .arg(part.path(), first.path());
            continue;
        }
        const QString mismatch = Mismatch(first.facts(), part.facts());
        if (!mismatch.isEmpty())
            set.errors << QStringLiteral("%1: does not belong with %2: %3")
                              .arg(part.path(), first.path(), mismatch);
        for (size_t j = 0; j < i; ++j) {
            if (set.parts[j]->facts().fileNumber == part.facts().fileNumber)
                set.errors << QStringLiteral("%1: part %2 is given twice (also %3)")
                                  .arg(part.path())
                                  .arg(part.facts().fileNumber)
                                  .arg(set.parts[j]->path());
        }
    }
    if (set.errors.isEmpty())
        FindMissing(set);
    return set;
}

std::unique_ptr<CaptureRun> OpenRun(CaptureSet &&set, bool acceptMissing) {
    if (!set.errors.isEmpty() || set.parts.empty() || (!set.missing.isEmpty() && !acceptMissing))
        return nullptr;
    auto run = std::make_unique<CaptureRun>(std::move(set.parts));
    return run;
}

CaptureRun::CaptureRun(std::vector<std::unique_ptr<CapturePart>> parts)
    : m_parts(std::move(parts)) {
    m_facts = m_parts.front()->facts();
    m_facts.stoppedBy = m_parts.back()->facts().stoppedBy;
    m_hasTimes = true;
    uint64_t runEnd = 0;
    // Set after a recorded gap: the next samples start a piece even where no conversion was
    // lost (the stream still stopped there).
    bool broken = false;
    // Samples [from, to) of a part, at run-wide index runFirst.
    auto addStretch = [&](const CapturePart &part, uint64_t from, uint64_t to, uint64_t runFirst) {
        if (runFirst > runEnd)
            m_gaps.push_back(MissingPart(runEnd, runFirst - runEnd));
        const uint64_t n = to - from;
        runEnd = std::max(runEnd, runFirst + n);
        if (n == 0)
            return;
        m_hasTimes = m_hasTimes && part.hasTimes();
        const uint64_t held = m_count;
        if (!broken && !m_pieces.empty() &&
            runFirst == m_pieces.back().runFirst + m_pieces.back().count)
            m_pieces.back().count += n;
        else
            m_pieces.push_back({held, n, runFirst});
        m_count += n;
        broken = false;
    };
    for (const std::unique_ptr<CapturePart> &part : m_parts) {
        m_partFirst.push_back(m_count);
        uint64_t from = 0, runFirst = part->facts().firstSample;
        for (const GapRecord &gap : part->gaps()) {
            addStretch(*part, from, gap.atSample, runFirst);
            runFirst += gap.atSample - from;
            m_gaps.push_back({RunGap::Kind::Recorded, runFirst, gap.lost, gap.startSeconds,
                              gap.lengthSeconds, gap.startUtc, gap.cause});
            runFirst += gap.lost;
            runEnd = std::max(runEnd, runFirst);
            from = gap.atSample;
            broken = true;
        }
        addStretch(*part, from, part->count(), runFirst);
    }
    if (m_parts.back()->facts().stoppedBy == QLatin1String(format::kStoppedBySplit))
        m_gaps.push_back(MissingPart(runEnd, 0));
    m_hasTimes = m_hasTimes && m_count > 0;
    measureRate();
}

std::vector<RunGap> CaptureRun::recordedGaps() const {
    std::vector<RunGap> gaps;
    std::copy_if(m_gaps.begin(), m_gaps.end(), std::back_inserter(gaps),
                 [](const RunGap &gap) { return gap.recorded(); });
    return gaps;
}

std::vector<RunGap> CaptureRun::missingParts() const {
    std::vector<RunGap> gaps;
    std::copy_if(m_gaps.begin(), m_gaps.end(), std::back_inserter(gaps),
                 [](const RunGap &gap) { return !gap.recorded(); });
    return gaps;
}

void CaptureRun::measureRate() {
    m_rate = m_facts.claimedDataRateSps() > 0 ? m_facts.claimedDataRateSps() : 0.0;
    if (!m_hasTimes || m_count < 2)
        return;
    int32_t code = 0;
    double first = 0, last = 0;
    if (!read(0, {&code, 1}, {&first, 1}) || !read(m_count - 1, {&code, 1}, {&last, 1}))
        return;
    const analysis::SamplePiece &a = m_pieces.front(), &b = m_pieces.back();
    const double indexes = static_cast<double>(b.runFirst + b.count - 1 - a.runFirst);
    if (last > first && indexes > 0) {
        m_rate = indexes / (last - first);
        m_rateFromTimes = true;
    }
}

bool CaptureRun::read(uint64_t first, std::span<int32_t> codes, std::span<double> times) {
    const std::lock_guard lock(m_mutex);
    if (first > m_count || codes.size() > m_count - first) {
        m_error = QStringLiteral("read beyond the run's samples");
        return false;
    }
    size_t done = 0;
    while (done < codes.size()) {
        const uint64_t at = first + done;
        const size_t p = static_cast<size_t>(
            std::upper_bound(m_partFirst.begin(), m_partFirst.end(), at) - m_partFirst.begin() - 1);
        CapturePart &part = *m_parts[p];
        const uint64_t local = at - m_partFirst[p];
        const size_t n =
            static_cast<size_t>(std::min<uint64_t>(codes.size() - done, part.count() - local));
        if (n == 0) {
            m_error = QStringLiteral("read beyond the run's samples");
            return false;
        }
        if (!part.read(local, codes.subspan(done, n),
                       times.empty() ? times : times.subspan(done, n))) {
            m_error = part.errorText();
            return false;
        }
        if (!times.empty() && !checkTimes(part, local, at, times.subspan(done, n)))
            return false;
        done += n;
    }
    return true;
}

bool CaptureRun::checkTimes(const CapturePart &part, uint64_t local, uint64_t at,
                            std::span<const double> times) {
    // The sample before is known when the reads walk the run in order, as every analysis does.
    const bool follows = m_lastChecked && at == m_lastChecked->index + 1;
    double before = follows ? m_lastChecked->seconds : -std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < times.size(); ++i) {
        if (!std::isfinite(times[i]) || times[i] < before) {
            m_error =
                QStringLiteral("%1: %2 of sample %3 is %4%5: the times must be finite and "
                               "rising")
                    .arg(part.path(), QLatin1String(format::kTimes))
                    .arg(local + i)
                    .arg(times[i], 0, 'g', 10)
                    .arg(std::isfinite(before) ? QStringLiteral(" after %1").arg(before, 0, 'g', 10)
                                               : QString());
            m_lastChecked.reset();
            return false;
        }
        before = times[i];
    }
    if (!times.empty())
        m_lastChecked = TimeSeen{at + times.size() - 1, times.back()};
    return true;
}

std::string CaptureRun::errorText() const {
    return m_error.toStdString();
}

QStringList SplitSetFiles(const QString &path) {
    const QFileInfo info(path);
    const QRegularExpressionMatch match = NumberedName().match(info.fileName());
    if (!match.hasMatch())
        return {path};
    QStringList files;
    const QDir folder = info.dir();
    for (const QString &name :
         folder.entryList({match.captured(1) + QStringLiteral("_*") + match.captured(3)},
                          QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch other = NumberedName().match(name);
        if (other.hasMatch() && other.captured(1) == match.captured(1) &&
            other.captured(3) == match.captured(3))
            files << folder.filePath(name);
    }
    if (files.isEmpty())
        files << path;
    return files;
}

uint64_t CapturePart::lost() const {
    uint64_t lost = 0;
    for (const GapRecord &gap : m_gaps)
        lost += gap.lost;
    return lost;
}

conversion::ConversionFacts RecordedConversion(const PartFacts &facts) {
    conversion::ConversionFacts conversion;
    conversion.referenceVolts = facts.referenceVolts;
    conversion.referenceSource = facts.referenceSource == QLatin1String(format::kReferenceGiven)
                                     ? conversion::ReferenceSource::Given
                                     : conversion::ReferenceSource::Default;
    conversion.mode = facts.mode.toStdString();
    conversion.pgaGain = facts.pgaGain;
    conversion.dataRateSps = facts.dataRateSps;
    conversion.voltsPerCode = facts.voltsPerCode;
    conversion.spanVolts = facts.voltsPerCode * 16777216.0;
    conversion.modeKnown = facts.modeKnown;
    return conversion;
}

QStringList PartsNotGiven(const QStringList &given) {
    QStringList notGiven;
    for (const QString &path : given) {
        for (const QString &file : SplitSetFiles(path)) {
            if (!IsOneOfTheFiles(file, given) && !notGiven.contains(file))
                notGiven << file;
        }
    }
    return notGiven;
}

bool IsOneOfTheFiles(const QString &path, const QStringList &files) {
    const QFileInfo target(path);
    if (!target.exists())
        return false;
    const QString canonical = target.canonicalFilePath();
    return std::any_of(files.begin(), files.end(), [&](const QString &file) {
        return QFileInfo(file).canonicalFilePath() == canonical;
    });
}

QString StoppedByText(const QString &stoppedBy) {
    return stoppedBy.isEmpty()
               ? QStringLiteral(
                     "unfinished: still being written, or the capture did not close the file")
               : stoppedBy;
}

} // namespace capture
