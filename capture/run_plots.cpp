#include "run_plots.h"

#include "analysis/log_plot_view.h"
#include "analysis/plot_view.h"
#include "analysis/volts_text.h"

#include <QChart>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace capture {
namespace {

constexpr QColor kTrace(0, 90, 170);
constexpr QColor kMark(200, 40, 40);

double RunIndexOf(const analysis::SamplePiece &piece, uint64_t held) {
    return static_cast<double>(piece.runFirst + (held - piece.first));
}

// A value read off a plot in its display unit, as volts by the one rule or as codes.
QString ValueText(double shown, const DisplayUnit &unit, double voltsPerCode, const char *per) {
    if (!(voltsPerCode > 0))
        return QStringLiteral("%1 %2").arg(shown, 0, 'g', 4).arg(unit.name);
    return QString::fromStdString(analysis::FormatVolts(shown / unit.perCode * voltsPerCode, per));
}

} // namespace

DisplayUnit VoltsUnit(double typicalCodes, double voltsPerCode, const QString &suffix) {
    if (!(voltsPerCode > 0))
        return {1.0, QStringLiteral("codes") + suffix};
    const analysis::VoltUnit unit = analysis::VoltUnitFor(typicalCodes * voltsPerCode);
    return {voltsPerCode * unit.perVolt, QString::fromUtf8(unit.symbol) + suffix};
}

void SetUpOverviewPlot(PlotView *plot, double voltsPerCode, bool inSeconds) {
    plot->axisX()->setTitleText(inSeconds ? QStringLiteral("Time (s)") : QStringLiteral("Sample"));
    plot->axisY()->setTitleText(QStringLiteral("Code"));
    plot->trace()->setPen(QPen(kTrace, 1));
    plot->setReadout([voltsPerCode, inSeconds](QPointF p) {
        QString text = inSeconds ? QStringLiteral("%1 s: %2 codes").arg(p.x(), 0, 'f', 3)
                                 : QStringLiteral("Sample %1: %2 codes").arg(std::llround(p.x()));
        text = text.arg(p.y(), 0, 'f', 1);
        if (voltsPerCode > 0)
            text += QStringLiteral(" (%1)").arg(
                QString::fromStdString(analysis::FormatVolts(p.y() * voltsPerCode)));
        return text;
    });
}

void FillOverview(PlotView *plot, const OverviewSource &s, QList<QLineSeries *> &pieceSeries) {
    if (!s.run || !s.pyramid)
        return;
    const double from = std::max(0.0, std::floor(plot->axisX()->min() * s.rate));
    const double to = std::max(from + 1, std::ceil(plot->axisX()->max() * s.rate) + 1);
    const size_t width = static_cast<size_t>(std::max(64, plot->width()));
    const double offset = s.detrend ? s.detrend->meanCodes : 0.0;
    auto value = [&](double code, double seconds) {
        return s.detrend ? code - s.detrend->at(seconds) + offset : code;
    };
    // One series per piece: a line drawn across a gap would show samples that are not there.
    const std::vector<analysis::SamplePiece> pieces = s.run->pieces();
    while (pieceSeries.size() + 1 < qsizetype(pieces.size())) {
        auto *series = new QLineSeries(plot);
        series->setPen(plot->trace()->pen());
        plot->addOverlay(series);
        pieceSeries.append(series);
    }
    for (size_t p = 0; p < pieces.size(); ++p) {
        const analysis::SamplePiece &piece = pieces[p];
        QLineSeries *series = p == 0 ? plot->trace() : pieceSeries[qsizetype(p) - 1];
        QList<QPointF> points;
        const double runFirst = static_cast<double>(piece.runFirst);
        const double lo = std::max(from, runFirst);
        const double hi = std::min(to, runFirst + static_cast<double>(piece.count));
        if (!(hi > lo)) {
            series->clear();
            continue;
        }
        const uint64_t a = piece.first + static_cast<uint64_t>(lo - runFirst);
        const uint64_t b = piece.first + static_cast<uint64_t>(hi - runFirst);
        const size_t columns =
            std::max<size_t>(1, static_cast<size_t>(double(width) * (hi - lo) / (to - from)));
        const std::vector<analysis::MinMaxColumn> found = s.pyramid->columns(a, b, columns);
        if (!found.empty()) {
            for (const analysis::MinMaxColumn &c : found) {
                const double t =
                    (RunIndexOf(piece, c.first) + static_cast<double>(c.count) / 2) / s.rate;
                points.append(QPointF(t, value(c.minimum, t)));
                points.append(QPointF(t, value(c.maximum, t)));
            }
        } else {
            std::vector<int32_t> codes(static_cast<size_t>(b - a));
            if (s.run->read(a, codes, {})) {
                for (size_t i = 0; i < codes.size(); ++i) {
                    const double t = RunIndexOf(piece, a + i) / s.rate;
                    points.append(QPointF(t, value(codes[i], t)));
                }
            }
        }
        series->replace(points);
    }
}

QList<QLineSeries *> ShowWholeRun(PlotView *plot, const OverviewSource &s, int32_t minimum,
                                  int32_t maximum, const analysis::DriftLine &drift) {
    plot->setTrace({}, 0, 1);
    const std::vector<analysis::SamplePiece> pieces = s.run->pieces();
    const double end =
        pieces.empty() ? 1.0
                       : static_cast<double>(pieces.back().runFirst + pieces.back().count) / s.rate;
    const double margin = std::max(1.0, (double(maximum) - minimum) * 0.05);
    const double yMin = minimum - margin, yMax = maximum + margin;
    QList<QLineSeries *> frames;
    for (const RunGap &gap : s.run->gaps()) {
        if (gap.count == 0)
            continue;
        const double a = static_cast<double>(gap.firstSample) / s.rate;
        const double b = static_cast<double>(gap.firstSample + gap.count) / s.rate;
        auto *frame = new QLineSeries(plot);
        frame->setPen(QPen(kMark, 2, Qt::DashLine));
        frame->append({QPointF(a, yMin), QPointF(a, yMax), QPointF(b, yMax), QPointF(b, yMin),
                       QPointF(a, yMin)});
        plot->addOverlay(frame);
        frames.append(frame);
    }
    if (drift.count > 1) {
        auto *line = new QLineSeries(plot);
        line->setPen(QPen(kMark, 2, Qt::DashLine));
        auto level = [&](double t) { return s.detrend ? drift.meanCodes : drift.at(t); };
        line->append({QPointF(0, level(0)), QPointF(end, level(end))});
        plot->addOverlay(line);
        frames.append(line);
    }
    plot->setRanges(0, end, yMin, yMax);
    return frames;
}

void SetUpLogPlot(LogPlotView *plot, const QString &x, const QString &y) {
    plot->axisX()->setTitleText(x);
    plot->axisY()->setTitleText(y);
}

void DrawDensity(LogPlotView *plot, const analysis::NoiseDensity &d, double voltsPerCode,
                 bool timed) {
    plot->clear();
    plot->axisX()->setTitleText(timed ? QStringLiteral("Frequency (Hz)")
                                      : QStringLiteral("Frequency (cycles per sample)"));
    const char *per = timed ? "/\u221AHz" : "/\u221A(cycle/sample)";
    if (d.segments == 0 || d.powerDensity.size() < 2)
        return;
    const double typical = d.whiteLevel ? std::sqrt(*d.whiteLevel)
                                        : std::sqrt(d.powerDensity[d.powerDensity.size() / 2]);
    const DisplayUnit unit = VoltsUnit(typical, voltsPerCode, QString::fromUtf8(per));
    plot->axisY()->setTitleText(QStringLiteral("Noise density (%1)").arg(unit.name));
    QLineSeries *line = plot->addLine(QPen(kTrace, 1));
    double lo = INFINITY, hi = 0;
    QList<QPointF> points;
    for (const analysis::DensityBand &band : analysis::BandAverages(d, 100)) {
        const double y = std::sqrt(band.density) * unit.perCode;
        if (!(y > 0))
            continue;
        points.append(QPointF(band.hz, y));
        lo = std::min(lo, y);
        hi = std::max(hi, y);
    }
    line->replace(points);
    const double f0 = d.binHz, f1 = d.frequency(d.powerDensity.size() - 1);
    if (d.whiteLevel && *d.whiteLevel > 0) {
        const double y = std::sqrt(*d.whiteLevel) * unit.perCode;
        plot->addLine(QPen(kMark, 1.5, Qt::DashLine))->append({QPointF(f0, y), QPointF(f1, y)});
    }
    if (d.cornerHz && lo < hi)
        plot->addLine(QPen(kMark, 1.5, Qt::DotLine))
            ->append({QPointF(*d.cornerHz, lo), QPointF(*d.cornerHz, hi)});
    plot->setRanges(f0, f1, lo, hi);
    plot->setReadout([unit, voltsPerCode, per, timed](QPointF p) {
        return QStringLiteral("%1 %2: %3")
            .arg(p.x(), 0, 'g', 4)
            .arg(timed ? QStringLiteral("Hz") : QStringLiteral("cycles per sample"),
                 ValueText(p.y(), unit, voltsPerCode, per));
    });
}

void DrawAllan(LogPlotView *plot, const analysis::AllanDeviation &allan, double voltsPerCode,
               bool timed) {
    plot->clear();
    plot->axisX()->setTitleText(timed ? QStringLiteral("τ (s)") : QStringLiteral("τ (samples)"));
    if (allan.points.empty())
        return;
    const auto least =
        std::min_element(allan.points.begin(), allan.points.end(),
                         [](const auto &a, const auto &b) { return a.adev < b.adev; });
    const DisplayUnit unit = VoltsUnit(least->adev, voltsPerCode, QString());
    plot->axisY()->setTitleText(QStringLiteral("Allan deviation (%1)").arg(unit.name));
    double lo = INFINITY, hi = 0;
    QList<QPointF> centres;
    for (const analysis::AllanPoint &p : allan.points) {
        const double low = p.low * unit.perCode, high = p.high * unit.perCode;
        if (!(low > 0))
            continue;
        plot->addLine(QPen(kTrace, 1))->append({QPointF(p.tau, low), QPointF(p.tau, high)});
        centres.append(QPointF(p.tau, p.adev * unit.perCode));
        lo = std::min(lo, low);
        hi = std::max(hi, high);
    }
    plot->addLine(QPen(kTrace, 1))->replace(centres);
    plot->addPoints(kTrace, 7)->replace(centres);
    const double t0 = allan.points.front().tau, t1 = allan.points.back().tau;
    if (allan.whiteCoefficient > 0) {
        const double a = allan.whiteAt(t0) * unit.perCode, b = allan.whiteAt(t1) * unit.perCode;
        plot->addLine(QPen(kMark, 1.5, Qt::DashLine))->append({QPointF(t0, a), QPointF(t1, b)});
        lo = std::min(lo, b);
    }
    plot->setRanges(t0, t1, lo, hi);
    plot->setReadout([unit, voltsPerCode, timed](QPointF p) {
        return QStringLiteral("τ %1 %2: %3")
            .arg(p.x(), 0, 'g', 4)
            .arg(timed ? QStringLiteral("s") : QStringLiteral("samples"),
                 ValueText(p.y(), unit, voltsPerCode, ""));
    });
}

} // namespace capture
