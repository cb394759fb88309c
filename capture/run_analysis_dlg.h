#pragma once
// The capture analysis window ("&Analysis" → "Open Capture..."): what an HDF5 or CSV capture
// says over its whole run. The run as a min/max overview that zooms down to single samples,
// the noise density and the Allan deviation on log-log axes, the histogram against a Gaussian,
// drift with a "Remove drift" option applied to every plot, the file's facts, and each plot's
// numbers as CSV. The file is read in chunks on a thread of its own (RunJob); the window stays
// responsive on a run of a hundred million samples.

#include "capture_run.h"
#include "run_job.h"

#include "analysis/run_analysis.h"
#include "platform/file_error.h"

#include <QDialog>

#include <memory>
#include <optional>

class LogPlotView;
class PlotView;
class QCheckBox;
class QLabel;
class QLineSeries;
class QPushButton;
class ReportRowsView;
class QScrollArea;

namespace capture {
// The open dialog for a capture file (HDF5 or CSV), starting in the data folder the captures
// are proposed in (platform/save_folder.h); an empty string when the user cancelled.
QString ChooseCaptureFile(QWidget *owner);
} // namespace capture

class CRunAnalysisDlg : public QDialog {
    Q_OBJECT
  public:
    enum class Export { Overview, Density, Allan, Histogram };

    explicit CRunAnalysisDlg(QWidget *parent = nullptr);
    ~CRunAnalysisDlg() override;

    // "Open...": asks for a capture file and opens it with the rest of its split set.
    void OnOpen();
    // Opens the files as one run; a single numbered part brings the rest of its set.
    void OpenFiles(const QStringList &paths);
    // "Remove drift": the drift line taken out of every plot and figure, or put back.
    void OnRemoveDrift(bool remove);
    // Asks for a CSV file name and writes that plot's numbers there.
    void OnExport(Export what);
    // Writes a plot's numbers to path; false (after telling the user) when it failed.
    bool ExportTo(Export what, const QString &path);

    // True while a file is read or computed.
    bool busy() const { return m_job.busy(); }
    bool hasRun() const { return m_run != nullptr; }
    const capture::CaptureRun *run() const { return m_run.get(); }
    const std::optional<analysis::RunSummary> &summary() const { return m_summary; }
    const std::optional<analysis::RunAnalysis> &analysis() const { return m_analysis; }
    QLabel *stateLabel() const { return m_state; }
    ReportRowsView *facts() const { return m_facts; }
    ReportRowsView *figures() const { return m_figures; }
    QCheckBox *removeDriftBox() const { return m_removeDrift; }
    QPushButton *exportButton(Export what) const { return m_exports[int(what)]; }
    PlotView *overviewPlot() const { return m_overview; }
    LogPlotView *densityPlot() const { return m_density; }
    LogPlotView *allanPlot() const { return m_allan; }
    PlotView *histogramPlot() const { return m_histogram; }

  private:
    QWidget *buildSide();
    QWidget *buildPlots();
    void showState(const QString &text);
    // Shows how an export's write ended; true when it was written.
    bool finishExport(const QString &path, const platform::FileError &error);
    void fitSide();
    void clearRun();
    void onScanned(const std::shared_ptr<capture::CaptureSet> &set);
    void startSummary();
    void onSummarized(std::optional<analysis::RunSummary> summary,
                      std::shared_ptr<analysis::MinMaxPyramid> pyramid, const QString &error);
    void startAnalysis();
    void onAnalyzed(std::optional<analysis::RunAnalysis> result, const QString &error);
    void showWholeRun();
    void refillOverview();
    void showFigures();
    double rate() const;
    QString runName() const;

    capture::RunJob m_job;
    std::shared_ptr<capture::CaptureRun> m_run;
    std::shared_ptr<const analysis::MinMaxPyramid> m_pyramid;
    std::optional<analysis::RunSummary> m_summary;
    std::optional<analysis::RunAnalysis> m_analysis;
    QList<QLineSeries *> m_gapFrames;
    QList<QLineSeries *> m_pieceSeries; // the run plot's pieces after the first

    QLabel *m_state = nullptr;
    QScrollArea *m_sideScroll = nullptr;
    QPushButton *m_open = nullptr;
    QCheckBox *m_removeDrift = nullptr;
    QPushButton *m_exports[4] = {};
    ReportRowsView *m_facts = nullptr;
    ReportRowsView *m_figures = nullptr;
    PlotView *m_overview = nullptr;
    LogPlotView *m_density = nullptr;
    LogPlotView *m_allan = nullptr;
    PlotView *m_histogram = nullptr;
};
