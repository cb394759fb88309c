#pragma once
// A capture run's facts and figures as captioned texts, the same for the window's fields and
// pellorin-cli analyze's lines: microvolts and nanovolts where the file gives a scale, codes
// beside them. Widget-free.

#include "capture_run.h"

#include "analysis/run_analysis.h"

#include <QList>
#include <QPair>
#include <QString>

namespace capture {

using ReportRows = QList<QPair<QString, QString>>;

// Files, chip, registers, reference, gain, data rate, start, why it stopped, samples and gaps,
// length and the sample rate the analyses use.
ReportRows RunFactRows(const CaptureRun &run);

// Mean, RMS noise (about the baseline), drift, white density, 1/f corner, the Welch
// segments and the Allan deviation's minimum. analysis may be null (not computed yet).
ReportRows RunFigureRows(const CaptureRun &run, const analysis::RunSummary &summary,
                         const analysis::RunAnalysis *analysis);

// A voltage density in the unit that reads best: "45.6 nV/√Hz", "1.23 µV/√Hz".
QString DensityText(double voltsPerRootHz);
// A voltage: "12.3 µV", "4.56 mV", "78.9 nV".
QString VoltsText(double volts);

} // namespace capture
