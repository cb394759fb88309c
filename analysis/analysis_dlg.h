#pragma once
// The "Noise and Spectrum" window: figures, code histogram with its fitted Gaussian, the whole
// record and its spectrum for the samples of the last acquisition. Non-modal; it learns of new
// samples only through OnSamplesAcquired, which the main window connects to its acquisition.

#include "analysis/histogram.h"
#include "analysis/noise_figures.h"
#include "analysis/spectrum.h"
#include "conversion/conversion_facts.h"

#include <QDialog>

#include <cstdint>
#include <optional>
#include <vector>

class AnalysisFiguresView;
class PlotView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ReferenceEdit;

class CAnalysisDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAnalysisDlg(QWidget *parent = nullptr);
    ~CAnalysisDlg() override;

    // A new record and what the chip's core made of the panel's registers when it was taken
    // (at the chip's default reference: the window applies its own).
    void OnSamplesAcquired(const std::vector<int32_t> &samples,
                           const conversion::ConversionFacts &facts);
    // The chip's reference default and bounds, before any record (a panel came).
    void OnReferenceRange(const conversion::ReferenceRange &range);
    // Asks for a CSV file name; writes the samples there and each plot beside it as PNG.
    void OnExport();
    // Recomputes and redraws from the samples and the fields as they stand.
    void Recompute();

    bool hasSamples() const { return !m_samples.empty(); }
    QLabel *stateLabel() const { return m_state; }
    AnalysisFiguresView *figures() const { return m_figures; }
    ReferenceEdit *referenceEdit() const { return m_reference; }
    QLineEdit *gainEdit() const { return m_gain; }
    QLineEdit *fullScaleEdit() const { return m_fullScale; }
    QLineEdit *sampleRateEdit() const { return m_sampleRate; }
    QComboBox *windowList() const { return m_window; }
    QPushButton *exportButton() const { return m_export; }
    PlotView *recordPlot() const { return m_recordPlot; }
    PlotView *histogramPlot() const { return m_histogramPlot; }
    PlotView *spectrumPlot() const { return m_spectrumPlot; }
    const analysis::Spectrum &spectrum() const { return m_spectrum; }
    const analysis::Histogram &histogram() const { return m_histogram; }

    // Writes the files of an export under the CSV's path; false (after telling the user) when
    // one could not be written.
    bool ExportTo(const QString &csvPath);

  private:
    QWidget *buildSettings();
    void OnScaleEdited();
    double fieldValue(const QLineEdit *edit) const;
    double lsbVolts() const;
    double sampleRate() const;
    void showState();
    void redraw();

    std::vector<int32_t> m_samples;
    QString m_referenceNote;             // why the last reference was refused, until one is taken
    conversion::ConversionFacts m_facts; // of the last record, at the chip's default reference
    std::optional<analysis::NoiseFigures> m_noise;
    analysis::Histogram m_histogram;
    analysis::Spectrum m_spectrum;

    QLabel *m_state = nullptr;
    ReferenceEdit *m_reference = nullptr;
    QLineEdit *m_gain = nullptr;
    QLineEdit *m_fullScale = nullptr;
    QLineEdit *m_sampleRate = nullptr;
    QComboBox *m_window = nullptr;
    QPushButton *m_export = nullptr;
    AnalysisFiguresView *m_figures = nullptr;
    PlotView *m_recordPlot = nullptr;
    PlotView *m_histogramPlot = nullptr;
    PlotView *m_spectrumPlot = nullptr;
};
