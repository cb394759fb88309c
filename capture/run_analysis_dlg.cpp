#include "run_analysis_dlg.h"

#include "report_rows_view.h"
#include "run_plots.h"

#include "analysis/analysis_plots.h"
#include "analysis/log_plot_view.h"
#include "analysis/note_label.h"
#include "analysis/plot_view.h"
#include "platform/message_service.h"
#include "platform/question.h"

#include <QChart>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {
QWidget *withReadout(QWidget *plot, QLabel *readout) {
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(plot, 1);
    layout->addWidget(readout);
    return box;
}

const QString kCaption = QStringLiteral("Open Capture");
} // namespace

CRunAnalysisDlg::CRunAnalysisDlg(QWidget *parent) : QDialog(parent) {
    setWindowTitle(tr("Capture Analysis"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setModal(false);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(buildSide());
    layout->addWidget(buildPlots(), 1);
    resize(1400, 900);
    setTabOrder(m_exports[3], m_overview);
    setTabOrder(m_overview, m_density);
    setTabOrder(m_density, m_allan);
    setTabOrder(m_allan, m_histogram);
    showState(tr("No capture open: \"Open...\" reads an HDF5 or CSV capture (a split set as one "
                 "run)."));
    clearRun();
}

CRunAnalysisDlg::~CRunAnalysisDlg() {
    m_job.cancel();
}

QWidget *CRunAnalysisDlg::buildSide() {
    auto *side = new QWidget;
    side->setMinimumWidth(440);
    auto *layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    m_state = new QLabel(side);
    m_state->setWordWrap(true);
    m_state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_state);

    auto *buttons = new QGridLayout;
    m_open = new QPushButton(tr("Open..."), side);
    m_removeDrift = new QCheckBox(tr("Remove drift"), side);
    m_removeDrift->setToolTip(tr("Take the least-squares drift line out of every plot and figure"));
    const QString exportNames[] = {tr("Export Overview..."), tr("Export Density..."),
                                   tr("Export Allan Deviation..."), tr("Export Histogram...")};
    buttons->addWidget(m_open, 0, 0);
    buttons->addWidget(m_removeDrift, 0, 1);
    for (int i = 0; i < 4; ++i) {
        m_exports[i] = new QPushButton(exportNames[i], side);
        buttons->addWidget(m_exports[i], 1 + i / 2, i % 2);
        connect(m_exports[i], &QPushButton::clicked, this, [this, i] { OnExport(Export(i)); });
    }
    layout->addLayout(buttons);
    connect(m_open, &QPushButton::clicked, this, &CRunAnalysisDlg::OnOpen);
    connect(m_removeDrift, &QCheckBox::toggled, this, &CRunAnalysisDlg::OnRemoveDrift);

    auto *factsBox = new QGroupBox(tr("The file"), side);
    m_facts = new ReportRowsView(factsBox);
    (new QVBoxLayout(factsBox))->addWidget(m_facts);
    auto *figuresBox = new QGroupBox(tr("Figures over the run"), side);
    m_figures = new ReportRowsView(figuresBox);
    (new QVBoxLayout(figuresBox))->addWidget(m_figures);
    auto *scroll = new QScrollArea(side);
    m_sideScroll = scroll;
    auto *inner = new QWidget;
    auto *innerLayout = new QVBoxLayout(inner);
    innerLayout->addWidget(factsBox);
    innerLayout->addWidget(figuresBox);
    innerLayout->addStretch(1);
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setAccessibleName(tr("The file and its figures"));
    layout->addWidget(scroll, 1);
    return side;
}

QWidget *CRunAnalysisDlg::buildPlots() {
    m_overview = new PlotView(tr("Run plot"));
    m_density = new LogPlotView(tr("Noise density plot"));
    m_allan = new LogPlotView(tr("Allan deviation plot"));
    m_histogram = new PlotView(tr("Histogram plot"));
    SetUpHistogramPlot(m_histogram);
    capture::SetUpLogPlot(m_density, tr("Frequency (Hz)"), tr("Noise density"));
    capture::SetUpLogPlot(m_allan, tr("τ (s)"), tr("Allan deviation"));
    connect(m_overview->axisX(), &QValueAxis::rangeChanged, this, [this] { refillOverview(); });
    auto *plots = new QWidget;
    auto *grid = new QGridLayout(plots);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(withReadout(m_overview, m_overview->readoutLabel()), 0, 0, 1, 3);
    grid->addWidget(withReadout(m_density, m_density->readoutLabel()), 1, 0);
    grid->addWidget(withReadout(m_allan, m_allan->readoutLabel()), 1, 1);
    grid->addWidget(withReadout(m_histogram, m_histogram->readoutLabel()), 1, 2);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(1, 1);
    return plots;
}

void CRunAnalysisDlg::showState(const QString &text) {
    ShowNote(m_state, text, tr("State"));
}

double CRunAnalysisDlg::rate() const {
    return m_run && m_run->sampleRateHz() > 0 ? m_run->sampleRateHz() : 1.0;
}

QString CRunAnalysisDlg::runName() const {
    if (!m_run)
        return QString();
    QStringList names;
    for (const auto &part : m_run->parts())
        names << QFileInfo(part->path()).fileName();
    return names.join(QStringLiteral(", "));
}

void CRunAnalysisDlg::clearRun() {
    m_job.cancel();
    m_run.reset();
    m_pyramid.reset();
    m_summary.reset();
    m_analysis.reset();
    for (QLineSeries *series : m_gapFrames + m_pieceSeries)
        m_overview->chart()->removeSeries(series);
    qDeleteAll(m_gapFrames + m_pieceSeries);
    m_gapFrames.clear();
    m_pieceSeries.clear();
    m_overview->setTrace({}, 0, 1);
    m_overview->setRanges(0, 1, 0, 1);
    m_density->clear();
    m_allan->clear();
    DrawHistogram(m_histogram, {});
    m_facts->showRows({});
    m_figures->showRows({});
    for (QPushButton *button : m_exports)
        button->setEnabled(false);
    m_removeDrift->setEnabled(false);
}

void CRunAnalysisDlg::OnOpen() {
    const QString path = capture::ChooseCaptureFile(this);
    if (!path.isEmpty())
        OpenFiles({path});
}

void CRunAnalysisDlg::OpenFiles(const QStringList &paths) {
    clearRun();
    const QStringList files = paths.size() == 1 ? capture::SplitSetFiles(paths.front()) : paths;
    showState(tr("Reading %1...").arg(files.join(QStringLiteral(", "))));
    m_job.start(this, [this, files](const std::atomic<bool> &cancel) -> capture::RunJob::Finish {
        // Cancelled when another file is opened: the window never waits for this parse.
        auto set = std::make_shared<capture::CaptureSet>(capture::ScanCaptureSet(files, &cancel));
        return [this, set] { onScanned(set); };
    });
}

void CRunAnalysisDlg::onScanned(const std::shared_ptr<capture::CaptureSet> &set) {
    if (!set->errors.isEmpty()) {
        showState(tr("Not opened."));
        platform::ShowMessage(this, tr("The capture cannot be opened."), kCaption,
                              platform::MessageIcon::Warning, set->errors.join(u'\n'));
        return;
    }
    if (!set->missing.isEmpty() &&
        !platform::AskYesNo(this,
                            set->missing.join(u'\n') +
                                tr("\n\nOpen the run with the gaps marked and left out of "
                                   "every figure?"),
                            kCaption)) {
        showState(tr("Not opened: the split set is not whole."));
        return;
    }
    std::unique_ptr<capture::CaptureRun> run = capture::OpenRun(std::move(*set), true);
    if (!run || run->count() == 0) {
        showState(tr("Not opened."));
        platform::ShowMessage(
            this,
            tr("%1: holds no complete sample").arg(run ? run->parts().front()->path() : QString()),
            kCaption, platform::MessageIcon::Warning);
        return;
    }
    m_run = std::move(run);
    m_facts->showRows(capture::RunFactRows(*m_run));
    fitSide();
    capture::SetUpOverviewPlot(m_overview, m_run->facts().claimedVoltsPerCode(),
                               m_run->sampleRateHz() > 0);
    setWindowTitle(tr("Capture Analysis - %1").arg(runName()));
    startSummary();
}

void CRunAnalysisDlg::startSummary() {
    showState(tr("Reading %1 samples for the overview and the drift...").arg(m_run->count()));
    std::shared_ptr<capture::CaptureRun> run = m_run;
    const double r = rate();
    m_job.start(this, [this, run, r](const std::atomic<bool> &cancel) -> capture::RunJob::Finish {
        auto pyramid = std::make_shared<analysis::MinMaxPyramid>();
        std::string error;
        std::optional<analysis::RunSummary> summary =
            analysis::SummarizeRun(*run, r, pyramid.get(), error, &cancel);
        return [this, summary, pyramid, error] {
            onSummarized(summary, pyramid, QString::fromStdString(error));
        };
    });
}

void CRunAnalysisDlg::onSummarized(std::optional<analysis::RunSummary> summary,
                                   std::shared_ptr<analysis::MinMaxPyramid> pyramid,
                                   const QString &error) {
    if (!summary) {
        showState(tr("Not read."));
        platform::ShowMessage(this, tr("The capture cannot be read."), kCaption,
                              platform::MessageIcon::Warning, error);
        return;
    }
    m_summary = summary;
    m_pyramid = pyramid;
    m_removeDrift->setEnabled(true);
    m_exports[int(Export::Overview)]->setEnabled(true);
    showWholeRun();
    showFigures();
    startAnalysis();
}

void CRunAnalysisDlg::startAnalysis() {
    showState(tr("%1: the noise density, the Allan deviation and the histogram are being "
                 "computed...")
                  .arg(runName()));
    std::shared_ptr<capture::CaptureRun> run = m_run;
    const analysis::RunSummary summary = *m_summary;
    const bool detrend = m_removeDrift->isChecked();
    const double r = m_run->sampleRateHz();
    m_job.start(
        this,
        [this, run, summary, detrend,
         r](const std::atomic<bool> &cancel) -> capture::RunJob::Finish {
            std::string error;
            std::optional<analysis::RunAnalysis> result =
                analysis::AnalyzeRun(*run, r > 0 ? r : 1.0, summary, detrend, error, &cancel);
            return [this, result, error] { onAnalyzed(result, QString::fromStdString(error)); };
        });
}

void CRunAnalysisDlg::onAnalyzed(std::optional<analysis::RunAnalysis> result,
                                 const QString &error) {
    if (!result) {
        showState(tr("Not computed."));
        platform::ShowMessage(this, tr("The capture cannot be read."), kCaption,
                              platform::MessageIcon::Warning, error);
        return;
    }
    m_analysis = std::move(result);
    const double lsb = m_run->facts().claimedVoltsPerCode();
    const bool timed = m_run->sampleRateHz() > 0;
    capture::DrawDensity(m_density, m_analysis->density, lsb, timed);
    capture::DrawAllan(m_allan, m_analysis->allan, lsb, timed);
    DrawHistogram(m_histogram, m_analysis->histogram);
    const QString gaps = m_run->gaps().empty() ? QString() : tr(" (gaps left out)");
    m_density->chart()->setTitle(tr("Noise density%1").arg(gaps));
    m_allan->chart()->setTitle(tr("Allan deviation%1").arg(gaps));
    m_histogram->chart()->setTitle(tr("Histogram%1").arg(gaps));
    for (QPushButton *button : m_exports)
        button->setEnabled(true);
    showFigures();
    QString text = tr("%1: %2 samples.").arg(runName()).arg(m_run->count());
    if (m_analysis->detrended)
        text += tr(" Drift removed from every plot and figure.");
    if (!m_run->missingParts().empty())
        text += tr(" Samples are missing: the gaps are marked and left out of every figure.");
    else if (!m_run->gaps().empty())
        text += tr(" The board was lost and reopened: the gaps are marked and left out of every "
                   "figure.");
    if (!(m_run->sampleRateHz() > 0))
        text += tr(" No sample rate: times are in samples, frequencies in cycles per sample.");
    showState(text);
}

void CRunAnalysisDlg::showFigures() {
    if (m_run && m_summary)
        m_figures->showRows(
            capture::RunFigureRows(*m_run, *m_summary, m_analysis ? &*m_analysis : nullptr));
    fitSide();
}

void CRunAnalysisDlg::fitSide() {
    // The side as wide as its longest field, which is never cut at the right.
    QWidget *inner = m_sideScroll->widget();
    inner->adjustSize();
    m_sideScroll->setMinimumWidth(inner->minimumSizeHint().width() +
                                  m_sideScroll->verticalScrollBar()->sizeHint().width() +
                                  2 * m_sideScroll->frameWidth());
}

void CRunAnalysisDlg::showWholeRun() {
    for (QLineSeries *frame : m_gapFrames)
        m_overview->chart()->removeSeries(frame);
    qDeleteAll(m_gapFrames);
    capture::OverviewSource source{m_run.get(), m_pyramid.get(), rate(), nullptr};
    int32_t lo = m_summary->minimum, hi = m_summary->maximum;
    if (m_removeDrift->isChecked()) {
        source.detrend = &m_summary->drift;
        // The residuals' range, about the mean; the histogram has it once computed.
        const double spread = 6 * std::max(1.0, m_summary->drift.residualRmsCodes);
        lo = static_cast<int32_t>(m_summary->drift.meanCodes - spread);
        hi = static_cast<int32_t>(m_summary->drift.meanCodes + spread);
        if (m_analysis && !m_analysis->histogram.counts.empty()) {
            lo = m_analysis->histogram.firstCode;
            hi = lo + static_cast<int32_t>(m_analysis->histogram.counts.size()) *
                          m_analysis->histogram.binWidth;
        }
    }
    m_gapFrames = capture::ShowWholeRun(m_overview, source, lo, hi, m_summary->drift);
    refillOverview();
}

void CRunAnalysisDlg::refillOverview() {
    if (!m_run || !m_pyramid || !m_summary)
        return;
    const capture::OverviewSource source{m_run.get(), m_pyramid.get(), rate(),
                                         m_removeDrift->isChecked() ? &m_summary->drift : nullptr};
    capture::FillOverview(m_overview, source, m_pieceSeries);
}

void CRunAnalysisDlg::OnRemoveDrift(bool) {
    if (!m_run || !m_summary)
        return;
    m_analysis.reset();
    for (QPushButton *button : m_exports)
        button->setEnabled(false);
    m_exports[int(Export::Overview)]->setEnabled(true);
    showWholeRun();
    startAnalysis();
}
