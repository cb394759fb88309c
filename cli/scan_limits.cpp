#include "scan_limits.h"

#include "chips/tables/chip_table.h"

#include <QFile>
#include <QRegularExpression>

#include <cmath>

namespace cli {

namespace {
// The volts of "2.5" and "µV"; an empty string, or the cause.
QString readVolts(const QString &number, const QString &unit, double &volts) {
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0)
        return QStringLiteral("%1 is no limit (a number of 0 or more)").arg(number);
    static const struct {
        const char16_t *name;
        double volts;
    } kUnits[] = {{u"nV", 1e-9}, {u"\u00b5V", 1e-6}, {u"\u03bcV", 1e-6},
                  {u"uV", 1e-6}, {u"mV", 1e-3},      {u"V", 1.0}};
    for (const auto &known : kUnits) {
        if (unit == QStringView(known.name)) {
            volts = value * known.volts;
            return QString();
        }
    }
    return unit.isEmpty() ? QStringLiteral("%1 has no unit (nV, µV, mV or V)").arg(number)
                          : QStringLiteral("unknown unit %1 (nV, µV, mV or V)").arg(unit);
}

// One line's limit; an empty string, or the cause.
QString readLine(const QString &line, ScanLimit &limit) {
    // CHIP INPUT NUMBER[ ]UNIT NUMBER[ ]UNIT
    static const QRegularExpression form(
        QStringLiteral("^(\\S+)\\s+(\\S+)\\s+([-+]?[0-9.][0-9.eE+-]*)\\s*([^\\s0-9.]\\S*)?\\s+"
                       "([-+]?[0-9.][0-9.eE+-]*)\\s*([^\\s0-9.]\\S*)?$"));
    const QRegularExpressionMatch match = form.match(line);
    if (!match.hasMatch())
        return QStringLiteral("give CHIP INPUT NOISE UNIT MEAN UNIT");
    const ChipSupport *chip = FindChipSupport(match.captured(1));
    if (!chip)
        return QStringLiteral("unknown chip %1").arg(match.captured(1));
    if (!chip->mux)
        return QStringLiteral("this build has no input multiplexer for %1")
            .arg(QLatin1String(chip->name));
    limit.chip = QLatin1String(chip->name);
    std::vector<scan::ScanInput> inputs;
    QString error;
    if (!scan::ParseInputList(*chip->mux, match.captured(2), inputs, error))
        return error;
    if (inputs.size() != 1)
        return QStringLiteral("one input a line, not %1").arg(match.captured(2));
    limit.input = inputs.front();
    if (error = readVolts(match.captured(3), match.captured(4), limit.maxRmsVolts);
        !error.isEmpty())
        return QStringLiteral("noise: ") + error;
    if (error = readVolts(match.captured(5), match.captured(6), limit.maxAbsMeanVolts);
        !error.isEmpty())
        return QStringLiteral("mean: ") + error;
    return QString();
}
} // namespace

const ScanLimit *ScanLimits::find(const QString &chip, scan::ScanInput input) const {
    for (const ScanLimit &limit : limits) {
        if (limit.chip == chip && limit.input == input)
            return &limit;
    }
    return nullptr;
}

bool ParseScanLimits(const QString &text, ScanLimits &limits, QString &error) {
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        ScanLimit limit;
        limit.line = i + 1;
        QString cause = readLine(line, limit);
        if (cause.isEmpty()) {
            if (const ScanLimit *before = limits.find(limit.chip, limit.input))
                cause = QStringLiteral("this chip and input have a limit on line %1 already")
                            .arg(before->line);
        }
        if (!cause.isEmpty()) {
            error = QStringLiteral("line %1: %2").arg(i + 1).arg(cause);
            return false;
        }
        limits.limits.push_back(limit);
    }
    if (limits.limits.empty()) {
        error = QStringLiteral("no limits in it");
        return false;
    }
    return true;
}

bool ReadScanLimits(const QString &path, ScanLimits &limits, QString &error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    if (!ParseScanLimits(QString::fromUtf8(file.readAll()), limits, error)) {
        error =
            (error.startsWith(QLatin1String("line ")) ? path + u' ' : path + u':' + u' ') + error;
        return false;
    }
    return true;
}

std::vector<InputVerdict> JudgeScan(const ScanLimits &limits, const QString &chip,
                                    const panel_common::MuxLayout &mux,
                                    const std::vector<scan::ScanRow> &rows, double voltsPerCode) {
    std::vector<InputVerdict> verdicts;
    for (const scan::ScanRow &row : rows) {
        InputVerdict verdict;
        verdict.input = scan::InputLabel(mux, row.input);
        verdict.limit = limits.find(chip, row.input);
        const scan::RowFigures figures = scan::SummarizeRow(row);
        verdict.rmsVolts = figures.stdDev * voltsPerCode;
        verdict.meanVolts = figures.mean * voltsPerCode;
        if (!verdict.limit)
            verdict.verdict = Verdict::NoLimit;
        else if (row.repeats.empty())
            verdict.verdict = Verdict::NotMeasured;
        else if (voltsPerCode <= 0)
            verdict.verdict = Verdict::NoScale;
        else if (verdict.rmsVolts <= verdict.limit->maxRmsVolts &&
                 std::abs(verdict.meanVolts) <= verdict.limit->maxAbsMeanVolts)
            verdict.verdict = Verdict::Pass;
        else
            verdict.verdict = Verdict::Fail;
        verdicts.push_back(verdict);
    }
    return verdicts;
}

QString VerdictText(Verdict verdict) {
    switch (verdict) {
    case Verdict::Pass:
        return QStringLiteral("pass");
    case Verdict::Fail:
        return QStringLiteral("fail");
    case Verdict::NoLimit:
        return QStringLiteral("no limit");
    case Verdict::NotMeasured:
        return QStringLiteral("not measured");
    case Verdict::NoScale:
        return QStringLiteral("scale unknown");
    }
    return QString();
}

bool BoardPasses(const std::vector<InputVerdict> &verdicts) {
    for (const InputVerdict &verdict : verdicts) {
        if (verdict.verdict != Verdict::Pass && verdict.verdict != Verdict::NoLimit)
            return false;
    }
    return true;
}

} // namespace cli
