#include "analysis/analysis_plots.h"

#include "analysis/plot_view.h"

#include <QChart>
#include <QLabel>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {
QLineSeries *fitSeries(PlotView *plot) {
    const QList<QAbstractSeries *> series = plot->chart()->series();
    return series.size() > 1 ? qobject_cast<QLineSeries *>(series.at(1)) : nullptr;
}

void titleAxes(PlotView *plot, const QString &x, const QString &y) {
    plot->axisX()->setTitleText(x);
    plot->axisY()->setTitleText(y);
}
} // namespace

void SetUpRecordPlot(PlotView *plot) {
    titleAxes(plot, QStringLiteral("Sample"), QStringLiteral("Code"));
    plot->trace()->setPen(QPen(QColor(0, 90, 170), 1));
    plot->setReadout([plot](QPointF p) {
        return QStringLiteral("Sample %1: %2 codes").arg(std::llround(p.x())).arg(p.y(), 0, 'f', 1);
    });
}

void SetUpHistogramPlot(PlotView *plot) {
    titleAxes(plot, QStringLiteral("Code"), QStringLiteral("Count"));
    plot->trace()->setPen(QPen(QColor(0, 90, 170), 1));
    auto *fit = new QLineSeries(plot);
    fit->setPen(QPen(QColor(200, 40, 40), 2));
    plot->addOverlay(fit);
    plot->setReadout([plot](QPointF p) {
        return QStringLiteral("Code %1: %2 counts").arg(std::llround(p.x())).arg(p.y(), 0, 'f', 1);
    });
}

void SetUpSpectrumPlot(PlotView *plot) {
    titleAxes(plot, QStringLiteral("Frequency (Hz)"), QStringLiteral("Amplitude (dBFS)"));
    plot->trace()->setPen(QPen(QColor(0, 120, 60), 1));
    plot->setReadout([plot](QPointF p) {
        return QStringLiteral("%1 Hz: %2 dBFS").arg(p.x(), 0, 'g', 6).arg(p.y(), 0, 'f', 1);
    });
}

void DrawRecord(PlotView *plot, const std::vector<int32_t> &samples) {
    std::vector<double> y(samples.begin(), samples.end());
    if (y.empty()) {
        plot->setTrace({}, 0, 1);
        plot->setRanges(0, 1, 0, 1);
        return;
    }
    const auto [lo, hi] = std::minmax_element(y.begin(), y.end());
    const double margin = std::max(1.0, (*hi - *lo) * 0.05);
    const double yMin = *lo - margin, yMax = *hi + margin;
    const double xMax = std::max(1.0, double(y.size() - 1));
    plot->setTrace(std::move(y), 0, 1);
    plot->setRanges(0, xMax, yMin, yMax);
}

void DrawHistogram(PlotView *plot, const analysis::Histogram &h) {
    QLineSeries *fit = fitSeries(plot);
    if (fit)
        fit->clear();
    if (h.counts.empty()) {
        plot->trace()->clear();
        plot->setRanges(0, 1, 0, 1);
        return;
    }
    // Steps: each bin is a flat top from its first code to past its last.
    QList<QPointF> steps;
    steps.reserve(static_cast<qsizetype>(h.counts.size() * 2 + 2));
    const double half = 0.5;
    double top = 0;
    for (size_t i = 0; i < h.counts.size(); ++i) {
        const double left = h.firstCode + double(i) * h.binWidth - half;
        if (i == 0)
            steps.append(QPointF(left, 0));
        steps.append(QPointF(left, h.counts[i]));
        steps.append(QPointF(left + h.binWidth, h.counts[i]));
        top = std::max(top, double(h.counts[i]));
    }
    steps.append(QPointF(steps.back().x(), 0));
    plot->setTrace({}, 0, 1);
    plot->trace()->replace(steps);
    const double xMin = steps.front().x(), xMax = steps.back().x();
    if (fit && h.fit.valid) {
        QList<QPointF> curve;
        constexpr int kPoints = 400;
        for (int i = 0; i <= kPoints; ++i) {
            const double x = xMin + (xMax - xMin) * i / kPoints;
            curve.append(QPointF(x, analysis::GaussianAt(h.fit, h.binWidth, x)));
        }
        fit->replace(curve);
        top = std::max(top, h.fit.amplitude);
    }
    plot->setRanges(xMin, xMax, 0, top * 1.08);
}

void DrawSpectrum(PlotView *plot, const analysis::Spectrum &s) {
    if (s.dbfs.empty()) {
        plot->setTrace({}, 0, 1);
        plot->setRanges(0, 1, -160, 0);
        return;
    }
    // The floor of the axis sits below all but the deepest dips of the noise (one bin in a
    // thousand), in whole 20 dB steps.
    std::vector<double> sorted(s.dbfs.begin() + 1, s.dbfs.end());
    const auto dip = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 1000);
    std::nth_element(sorted.begin(), dip, sorted.end());
    const double low = *dip - 10.0;
    const double floor = std::max(-240.0, std::floor(low / 20.0) * 20.0);
    const double xMax = s.binHz * double(s.dbfs.size() - 1);
    plot->setTrace(s.dbfs, 0, s.binHz);
    plot->setRanges(0, xMax, floor, 0);
}
