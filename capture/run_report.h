#pragma once
// A capture run's facts and figures as captioned texts, the same for the window's fields and
// pellorin-cli analyze's lines: microvolts and nanovolts where the file gives a scale, codes
// beside them. Widget-free.

#include "capture_run.h"

#include "analysis/run_analysis.h"

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace capture {

using ReportRows = QList<QPair<QString, QString>>;

// Files, chip, registers, reference, gain, data rate, start, why it stopped, samples and gaps,
// length and the sample rate the analyses use.
ReportRows RunFactRows(const CaptureRun &run);

// How far the rate the samples' times give is off the one the file states, as a fraction
// (+0.05: 5 % faster), when it is off by more than kRateTolerance; nullopt otherwise or when
// either is unknown. A board whose clock runs off, or a file whose rate is wrong, shows here.
constexpr double kRateTolerance = 0.01;
std::optional<double> RateOffStated(const CaptureRun &run);

// Mean, RMS noise (about the baseline), drift, white density, 1/f corner, the Welch
// segments and the Allan deviation's floor (where the curve has one: analysis::FindAllanFloor).
// Without a rate, every figure is per sample. analysis may be null (not computed yet).
ReportRows RunFigureRows(const CaptureRun &run, const analysis::RunSummary &summary,
                         const analysis::RunAnalysis *analysis);

// A voltage density in the unit that reads best: "45.6 nV/√Hz", "1.23 µV/√Hz".
QString DensityText(double voltsPerRootHz);
// A voltage: "12.3 µV", "4.56 mV", "78.9 nV".
QString VoltsText(double volts);

} // namespace capture
