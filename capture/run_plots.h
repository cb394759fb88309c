#pragma once
// The plots of the capture analysis window: the whole run from its min/max pyramid (the
// samples themselves once zoomed in far enough), the noise density and the Allan deviation on
// log-log axes. Volts where the file gives a scale, in the unit that reads best.

#include "capture_run.h"

#include "analysis/run_analysis.h"

#include <QString>

class LogPlotView;
class PlotView;
class QLineSeries;

namespace capture {

// A unit for values in codes: volts in the unit the typical value reads best in (the one rule
// of analysis/volts_text.h), or codes.
struct DisplayUnit {
    double perCode = 1.0; // display units per code
    QString name;         // "µV", "nV/√Hz", "codes" ...
};
DisplayUnit VoltsUnit(double typicalCodes, double voltsPerCode, const QString &suffix);

// What the run plot shows: the samples against seconds (run-wide index over the rate), less
// the drift line (and plus the mean) when detrended.
struct OverviewSource {
    CaptureRun *run = nullptr;
    const analysis::MinMaxPyramid *pyramid = nullptr;
    double rate = 1.0;
    const analysis::DriftLine *detrend = nullptr;
};

void SetUpOverviewPlot(PlotView *plot, double voltsPerCode, bool inSeconds);
// Refills the run plot's trace for its visible range: two points (minimum, maximum) per
// column from the pyramid, or every sample when a column would hold fewer than 64. Within a
// column the drift line is taken at the column's middle. The first piece goes to the plot's
// trace, each further piece (after a gap) to a series of pieceSeries, made as needed.
void FillOverview(PlotView *plot, const OverviewSource &source, QList<QLineSeries *> &pieceSeries);
// The whole run's range on the plot; gaps drawn as red frames, the fitted drift line (level at
// the mean once taken out) dashed across the run. Returns the series drawn over the trace.
QList<QLineSeries *> ShowWholeRun(PlotView *plot, const OverviewSource &source, int32_t minimum,
                                  int32_t maximum, const analysis::DriftLine &drift);

void SetUpLogPlot(LogPlotView *plot, const QString &x, const QString &y);
// The density as band averages (a hundredth of a decade; the exported CSV has every bin above
// 0 Hz),
// the white level dashed and the 1/f corner as a dotted line.
// Without a rate (timed false) frequencies are in cycles per sample and tau in samples.
void DrawDensity(LogPlotView *plot, const analysis::NoiseDensity &density, double voltsPerCode,
                 bool timed);
// The points with their 68 % bars and the white-noise slope (dashed) through the first ones.
void DrawAllan(LogPlotView *plot, const analysis::AllanDeviation &allan, double voltsPerCode,
               bool timed);

} // namespace capture
