#include "analysis/analysis_dlg.h"

#include "analysis/analysis_figures_view.h"
#include "analysis/analysis_plots.h"
#include "analysis/note_label.h"
#include "analysis/plot_view.h"
#include "analysis/reference_edit.h"
#include "platform/buddy_label.h"

#include <QComboBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

namespace {
QLineEdit *numberEdit(QWidget *parent) {
    auto *edit = new QLineEdit(parent);
    auto *validator = new QDoubleValidator(0.0, 1e9, 9, edit);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(QLocale::c());
    edit->setValidator(validator);
    edit->setMaximumWidth(120);
    return edit;
}

QWidget *withReadout(PlotView *plot) {
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(plot, 1);
    layout->addWidget(plot->readoutLabel());
    return box;
}
} // namespace

CAnalysisDlg::CAnalysisDlg(QWidget *parent) : QDialog(parent) {
    setWindowTitle(tr("Noise and Spectrum"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setModal(false);

    m_recordPlot = new PlotView(tr("Record plot"));
    m_histogramPlot = new PlotView(tr("Histogram plot"));
    m_spectrumPlot = new PlotView(tr("Spectrum plot"));
    SetUpRecordPlot(m_recordPlot);
    SetUpHistogramPlot(m_histogramPlot);
    SetUpSpectrumPlot(m_spectrumPlot);

    auto *plots = new QSplitter(Qt::Vertical);
    plots->setChildrenCollapsible(false);
    plots->addWidget(withReadout(m_recordPlot));
    plots->addWidget(withReadout(m_histogramPlot));
    plots->addWidget(withReadout(m_spectrumPlot));

    auto *side = new QWidget;
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    m_state = new QLabel(side);
    m_state->setWordWrap(true);
    m_state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    sideLayout->addWidget(m_state);
    sideLayout->addWidget(buildSettings());
    auto *figuresBox = new QGroupBox(tr("Figures over all samples"), side);
    m_figures = new AnalysisFiguresView(figuresBox);
    (new QVBoxLayout(figuresBox))->addWidget(m_figures);
    sideLayout->addWidget(figuresBox, 1);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(side);
    layout->addWidget(plots, 1);
    resize(1280, 860);
    setTabOrder(m_export, m_recordPlot);
    setTabOrder(m_recordPlot, m_histogramPlot);
    setTabOrder(m_histogramPlot, m_spectrumPlot);
    Recompute();
}

CAnalysisDlg::~CAnalysisDlg() {
    // An edit losing its focus while the children go would call back into a window that is
    // no longer whole.
    for (QObject *field : {static_cast<QObject *>(m_reference), static_cast<QObject *>(m_gain),
                           static_cast<QObject *>(m_fullScale),
                           static_cast<QObject *>(m_sampleRate), static_cast<QObject *>(m_window)})
        field->disconnect(this);
}

QWidget *CAnalysisDlg::buildSettings() {
    auto *box = new QGroupBox(tr("Scale"));
    auto *form = new QFormLayout(box);
    auto addField = [&](const QString &caption, QWidget *field) {
        form->addRow(platform::BuddyLabel(caption, field, box), field);
    };
    m_reference = new ReferenceEdit(box);
    m_gain = numberEdit(box);
    m_gain->setText(QStringLiteral("1"));
    m_fullScale = numberEdit(box);
    m_sampleRate = numberEdit(box);
    m_window = new QComboBox(box);
    m_window->addItem(tr("Hann"), int(analysis::WindowKind::Hann));
    m_window->addItem(tr("Blackman-Harris, 4 terms"), int(analysis::WindowKind::BlackmanHarris4));
    m_export = new QPushButton(tr("Export..."), box);
    m_export->setAccessibleName(tr("Export..."));
    addField(tr("&Reference (V)"), m_reference);
    addField(tr("PGA &gain"), m_gain);
    addField(tr("&Full-scale range (V p-p)"), m_fullScale);
    addField(tr("&Sample rate (SPS)"), m_sampleRate);
    addField(tr("&Window"), m_window);
    form->addRow(m_export);
    m_fullScale->setToolTip(tr("From one end of the code scale to the other; one code is this "
                               "range divided by 2^24"));

    connect(m_reference, &ReferenceEdit::referenceChanged, this, [this] {
        m_referenceNote.clear();
        OnScaleEdited();
    });
    connect(m_reference, &ReferenceEdit::refused, this, [this](const QString &note) {
        m_referenceNote = note;
        showState();
    });
    connect(m_gain, &QLineEdit::editingFinished, this, &CAnalysisDlg::OnScaleEdited);
    connect(m_fullScale, &QLineEdit::editingFinished, this, &CAnalysisDlg::Recompute);
    connect(m_sampleRate, &QLineEdit::editingFinished, this, &CAnalysisDlg::Recompute);
    connect(m_window, &QComboBox::currentIndexChanged, this, &CAnalysisDlg::Recompute);
    connect(m_export, &QPushButton::clicked, this, &CAnalysisDlg::OnExport);
    return box;
}

double CAnalysisDlg::fieldValue(const QLineEdit *edit) const {
    bool ok = false;
    const double value = QLocale::c().toDouble(edit->text().trimmed(), &ok);
    return ok && value > 0 ? value : 0.0;
}

double CAnalysisDlg::lsbVolts() const {
    return fieldValue(m_fullScale) / analysis::kCodeSpan;
}

double CAnalysisDlg::sampleRate() const {
    return fieldValue(m_sampleRate);
}

void CAnalysisDlg::OnSamplesAcquired(const std::vector<int32_t> &samples,
                                     const conversion::ConversionFacts &facts) {
    m_samples = samples;
    m_facts = facts;
    // The chip's gain and rate win where its core knows them; the reference stays the user's
    // where the chip allows it.
    m_reference->setRange(facts.referenceRange);
    if (facts.pgaGain > 0)
        m_gain->setText(QString::number(facts.pgaGain, 'g', 9));
    if (facts.dataRateSps > 0)
        m_sampleRate->setText(QString::number(facts.dataRateSps, 'g', 9));
    OnScaleEdited();
}

void CAnalysisDlg::OnReferenceRange(const conversion::ReferenceRange &range) {
    m_facts.referenceRange = range;
    m_reference->setRange(range);
    OnScaleEdited();
}

void CAnalysisDlg::OnScaleEdited() {
    // The range from the chip's span at the reference and the gain the fields hold.
    conversion::ConversionFacts facts = m_reference->applyTo(m_facts);
    facts.pgaGain = fieldValue(m_gain);
    const double range = conversion::WithScale(facts).spanVolts;
    if (range > 0)
        m_fullScale->setText(QString::number(range, 'g', 9));
    Recompute();
}

void CAnalysisDlg::Recompute() {
    const auto kind = static_cast<analysis::WindowKind>(m_window->currentData().toInt());
    if (m_samples.empty()) {
        m_noise.reset();
        m_histogram = {};
        m_spectrum = {};
    } else {
        m_noise = analysis::ComputeNoiseFigures(m_samples);
        m_histogram = analysis::MakeHistogram(m_samples);
        // Without a rate the axis reads in cycles per sample.
        const double rate = sampleRate();
        m_spectrum = analysis::ComputeSpectrum(m_samples, kind, rate > 0 ? rate : 1.0);
    }
    showState();
    m_figures->showFigures(m_noise, m_spectrum, lsbVolts());
    redraw();
}

void CAnalysisDlg::showState() {
    if (m_samples.empty()) {
        QString text = tr("No samples yet: the figures and plots follow each acquisition "
                          "(\"Start get ADC data\" in the main window).");
        if (!m_referenceNote.isEmpty())
            text += u' ' + m_referenceNote;
        ShowNote(m_state, text, tr("State"));
        return;
    }
    QString text = tr("%n sample(s) of the last acquisition.", nullptr, int(m_samples.size()));
    if (m_spectrum.fftLength > 0) {
        text += u' ';
        text += m_spectrum.zeroPadded()
                    ? tr("Spectrum: all samples, zero-padded to a %1-point FFT.")
                          .arg(m_spectrum.fftLength)
                    : tr("Spectrum: %1-point FFT of all samples.").arg(m_spectrum.fftLength);
    } else {
        text += tr(" Too few samples for a spectrum.");
    }
    if (sampleRate() <= 0)
        text += tr(" No sample rate: frequencies are in cycles per sample.");
    if (lsbVolts() <= 0)
        text += tr(" No full-scale range: no microvolts.");
    if (!m_referenceNote.isEmpty())
        text += u' ' + m_referenceNote;
    ShowNote(m_state, text, tr("State"));
}

void CAnalysisDlg::redraw() {
    DrawRecord(m_recordPlot, m_samples);
    DrawHistogram(m_histogramPlot, m_histogram);
    DrawSpectrum(m_spectrumPlot, m_spectrum);
}
