#include "output_formats.h"

#include "acquisition/chart_state.h"
#include "acquisition/statistics.h"
#include "analysis/noise_figures.h"
#include "capture/capture_engine.h"
#include "capture/capture_facts.h"
#include "capture/duration_text.h"
#include "scan/scan_table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <type_traits>
#include <variant>

namespace cli {

namespace {
void writeJson(std::ostream &out, const QJsonObject &object) {
    out << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << '\n';
}

QJsonArray lossesJson(const std::vector<capture::GapRecord> &losses) {
    QJsonArray array;
    for (const capture::GapRecord &loss : losses) {
        array.append(QJsonObject{{"startUtc", loss.startUtc},
                                 {"startS", loss.startSeconds},
                                 {"cause", loss.cause},
                                 {"lengthS", loss.lengthSeconds},
                                 {"lostConversions", static_cast<qint64>(loss.lost)}});
    }
    return array;
}

double lostSeconds(const std::vector<capture::GapRecord> &losses) {
    double seconds = 0.0;
    for (const capture::GapRecord &loss : losses)
        seconds += loss.lengthSeconds;
    return seconds;
}

// A figure in codes as microvolts, where volts may be claimed; NaN otherwise.
double microvolts(double codes, const conversion::ConversionFacts &facts) {
    const double voltsPerCode = conversion::ClaimedVoltsPerCode(facts);
    return voltsPerCode > 0 ? codes * voltsPerCode * 1e6 : std::nan("");
}
} // namespace

QJsonObject WithConversionFacts(QJsonObject object, const conversion::ConversionFacts &facts) {
    for (const capture::RecordedFact &fact : capture::ConversionRecord(facts))
        object.insert(QLatin1String(fact.name),
                      std::visit([](const auto &value) { return QJsonValue(value); }, fact.value));
    return object;
}

void WriteDetectText(std::ostream &out, const QString &port, const QString &chip) {
    out << port.toStdString() << '\t' << chip.toStdString() << '\n';
}

void WriteDetectJson(std::ostream &out, const QString &port, const QString &chip, int chipId) {
    writeJson(out, {{"port", port}, {"chip", chip}, {"chipId", chipId}});
}

void WriteRegisterTable(std::ostream &out, const std::vector<RegisterRow> &rows) {
    char line[64];
    out << "ADDR  NAME    VALUE\n";
    for (const RegisterRow &row : rows) {
        std::snprintf(line, sizeof line, "0x%02X  %-6s  0x%02X\n", row.address,
                      row.name.toLatin1().constData(), row.value);
        out << line;
    }
}

void WriteRegisterJson(std::ostream &out, const QString &chip, const QString &port,
                       const std::vector<RegisterRow> &rows) {
    QJsonArray registers;
    for (const RegisterRow &row : rows) {
        registers.append(
            QJsonObject{{"address", row.address}, {"name", row.name}, {"value", int{row.value}}});
    }
    writeJson(out, {{"chip", chip}, {"port", port}, {"registers", registers}});
}

void WriteSamplesPlain(std::ostream &out, const std::vector<int32_t> &samples) {
    char line[16];
    for (const int32_t v : samples) {
        const int n = std::snprintf(line, sizeof line, "%d\n", static_cast<int>(v));
        out.write(line, n);
    }
}

void WriteSamplesJson(std::ostream &out, const std::vector<int32_t> &samples) {
    QJsonArray codes;
    for (const int32_t v : samples)
        codes.append(static_cast<int>(v));
    writeJson(out, {{"count", static_cast<qint64>(samples.size())}, {"samples", codes}});
}

void WriteSamplesCsv(std::ostream &out, const std::vector<int32_t> &samples) {
    out << "index,code\n";
    char line[32];
    for (size_t i = 0; i < samples.size(); ++i) {
        const int n = std::snprintf(line, sizeof line, "%zu,%d\n", i, static_cast<int>(samples[i]));
        out.write(line, n);
    }
}

SampleStats ComputeStats(const std::vector<int32_t> &samples) {
    SampleStats stats;
    ChartState state;
    if (!UpdateStatistics(samples, state))
        return stats;
    stats.count = static_cast<int64_t>(samples.size());
    stats.minimum = state.m_minimum;
    stats.maximum = state.m_maximum;
    stats.average = state.m_average;
    stats.peakToPeak = int64_t{state.m_maximum} - state.m_minimum;
    const analysis::NoiseFigures noise = analysis::ComputeNoiseFigures(samples);
    stats.mean = noise.mean;
    stats.rmsNoise = noise.stdDev;
    stats.effectiveBits = noise.effectiveBits;
    stats.noiseFreeBits = noise.noiseFreeBits;
    stats.skewness = noise.skewness;
    stats.excessKurtosis = noise.excessKurtosis;
    stats.clipped = noise.clipped;
    return stats;
}

void WriteStatsText(std::ostream &out, const SampleStats &stats,
                    const conversion::ConversionFacts &facts) {
    char line[80];
    const auto integer = [&](const char *name, long long value) {
        std::snprintf(line, sizeof line, "%-16s%lld\n", name, value);
        out << line;
    };
    const auto real = [&](const char *name, double value) {
        if (std::isfinite(value))
            std::snprintf(line, sizeof line, "%-16s%.3f\n", name, value);
        else
            std::snprintf(line, sizeof line, "%-16snull\n", name);
        out << line;
    };
    integer("count", stats.count);
    integer("minimum", stats.minimum);
    integer("maximum", stats.maximum);
    integer("average", stats.average);
    integer("peak-to-peak", stats.peakToPeak);
    real("mean", stats.mean);
    real("rms-noise", stats.rmsNoise);
    real("effective-bits", stats.effectiveBits);
    real("noise-free-bits", stats.noiseFreeBits);
    real("skewness", stats.skewness);
    real("excess-kurtosis", stats.excessKurtosis);
    integer("clipped", stats.clipped);
    real("rms-noise-uv", microvolts(stats.rmsNoise, facts));
    real("peak-to-peak-uv", microvolts(static_cast<double>(stats.peakToPeak), facts));
    for (const capture::RecordedFact &fact : capture::ConversionRecord(facts)) {
        const QString value = std::visit(
            [](const auto &v) {
                if constexpr (std::is_same_v<std::decay_t<decltype(v)>, double>)
                    return QString::number(v, 'g', 9);
                else
                    return v;
            },
            fact.value);
        std::snprintf(line, sizeof line, "%-15s %s\n", fact.name, value.toUtf8().constData());
        out << line;
    }
    if (const std::optional<analysis::ToneMetrics> &tone = stats.tone) {
        real("tone-frequency", tone->frequencyHz);
        real("tone-amplitude", tone->amplitudeDbfs);
        real("snr", tone->snrDb);
        real("thd", tone->thdDb);
        real("sinad", tone->sinadDb);
        real("sfdr", tone->sfdrDb);
        real("enob", tone->enob);
    }
}

namespace {
// JSON has no infinity and no NaN: such a figure is null.
QJsonValue number(double value) {
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue();
}
} // namespace

void WriteStatsJson(std::ostream &out, const SampleStats &stats,
                    const conversion::ConversionFacts &facts) {
    QJsonValue tone;
    if (stats.tone) {
        tone = QJsonObject{{"frequencyHz", number(stats.tone->frequencyHz)},
                           {"amplitudeDbfs", number(stats.tone->amplitudeDbfs)},
                           {"snrDb", number(stats.tone->snrDb)},
                           {"thdDb", number(stats.tone->thdDb)},
                           {"sinadDb", number(stats.tone->sinadDb)},
                           {"sfdrDb", number(stats.tone->sfdrDb)},
                           {"enob", number(stats.tone->enob)}};
    }
    const QJsonObject figures{
        {"count", static_cast<qint64>(stats.count)},
        {"minimum", stats.minimum},
        {"maximum", stats.maximum},
        {"average", stats.average},
        {"peakToPeak", static_cast<qint64>(stats.peakToPeak)},
        {"mean", number(stats.mean)},
        {"rmsNoise", number(stats.rmsNoise)},
        {"effectiveBits", number(stats.effectiveBits)},
        {"noiseFreeBits", number(stats.noiseFreeBits)},
        {"skewness", number(stats.skewness)},
        {"excessKurtosis", number(stats.excessKurtosis)},
        {"clipped", static_cast<qint64>(stats.clipped)},
        {"rmsNoiseMicrovolts", number(microvolts(stats.rmsNoise, facts))},
        {"peakToPeakMicrovolts", number(microvolts(static_cast<double>(stats.peakToPeak), facts))},
        {"tone", tone}};
    writeJson(out, WithConversionFacts(figures, facts));
}

void WriteScanText(std::ostream &out, const panel_common::MuxLayout &layout,
                   const std::vector<scan::ScanRow> &rows, double lsbVolts) {
    std::vector<QStringList> lines{scan::ScanHeadings()};
    for (const scan::ScanRow &row : rows) {
        if (!row.repeats.empty())
            lines.push_back(scan::ScanRowCells(layout, row, lsbVolts));
    }
    std::vector<qsizetype> widths(scan::kScanColumnCount, 0);
    for (const QStringList &line : lines) {
        for (int c = 0; c < scan::kScanColumnCount; ++c)
            widths[c] = std::max(widths[c], line[c].size());
    }
    for (const QStringList &line : lines) {
        QString text = line[scan::kInputColumn].leftJustified(widths[scan::kInputColumn]);
        for (int c = scan::kInputColumn + 1; c < scan::kScanColumnCount; ++c)
            text += QStringLiteral("  ") + line[c].rightJustified(widths[c]);
        out << text.toStdString() << '\n';
    }
}

void WriteScanJson(std::ostream &out, const panel_common::MuxLayout &layout,
                   const std::vector<scan::ScanRow> &rows, bool complete,
                   const conversion::ConversionFacts &facts) {
    QJsonArray array;
    for (const scan::ScanRow &row : rows) {
        const scan::RowFigures f = scan::SummarizeRow(row);
        if (f.repeats == 0)
            continue;
        array.append(QJsonObject{{"positive", panel_common::InputName(layout, row.input.positive)},
                                 {"negative", panel_common::InputName(layout, row.input.negative)},
                                 {"repeats", f.repeats},
                                 {"samples", static_cast<qint64>(f.samples)},
                                 {"mean", number(f.mean)},
                                 {"rms", number(f.stdDev)},
                                 {"peakToPeak", number(f.peakToPeak)},
                                 {"effectiveBits", number(f.effectiveBits)},
                                 {"noiseFreeBits", number(f.noiseFreeBits)},
                                 {"minimum", number(f.minimum)},
                                 {"maximum", number(f.maximum)},
                                 {"clipped", static_cast<qint64>(f.clipped)},
                                 {"meanSpread", number(f.meanSpread)},
                                 {"rmsSpread", number(f.stdDevSpread)}});
    }
    writeJson(out, WithConversionFacts({{"rows", array}, {"complete", complete}}, facts));
}

void WriteCaptureText(std::ostream &out, const capture::CaptureResult &result,
                      const QString &lastFile) {
    out << result.samples << " samples in " << capture::FormatDuration(result.seconds).toStdString()
        << ", " << result.blocks << " blocks, " << result.files << " file(s), last "
        << (lastFile.isEmpty() ? std::string("none") : lastFile.toStdString()) << "; dead time "
        << result.deadSeconds << " s (longest " << result.longestDeadSeconds << " s); "
        << result.clippedSamples << " clipped; stopped by " << result.stoppedBy.toStdString()
        << '\n';
    double lost = 0.0;
    for (const capture::GapRecord &loss : result.losses) {
        lost += loss.lengthSeconds;
        out << "board lost at " << loss.startUtc.toStdString() << " (" << loss.cause.toStdString()
            << ") for " << loss.lengthSeconds << " s, " << loss.lost << " conversions lost\n";
    }
    if (!result.losses.empty())
        out << result.losses.size() << " loss(es), " << lost << " s in all\n";
}

void WriteCaptureJson(std::ostream &out, const capture::CaptureResult &result,
                      const QString &lastFile, const conversion::ConversionFacts &facts) {
    writeJson(out, WithConversionFacts(
                       {{"samples", static_cast<qint64>(result.samples)},
                        {"seconds", result.seconds},
                        {"blocks", result.blocks},
                        {"files", result.files},
                        {"lastFile", lastFile.isEmpty() ? QJsonValue() : QJsonValue(lastFile)},
                        {"deadSeconds", result.deadSeconds},
                        {"longestDeadSeconds", result.longestDeadSeconds},
                        {"clippedSamples", static_cast<qint64>(result.clippedSamples)},
                        {"stoppedBy", result.stoppedBy},
                        {"losses", lossesJson(result.losses)},
                        {"lostSeconds", lostSeconds(result.losses)}},
                       facts));
}

void WriteFailureJson(std::ostream &out, const QStringList &messages, int status) {
    writeJson(out, {{"error", messages.join(u'\n')}, {"exitStatus", status}});
}

} // namespace cli
