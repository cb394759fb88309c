#pragma once
// The figures of the analysis window: a grid of selectable texts, each with an accessible
// name made of its row and unit ("Std dev (RMS noise) codes", "SNR dB").

#include "analysis/noise_figures.h"
#include "analysis/spectrum.h"

#include <QString>
#include <QWidget>

#include <optional>

class QLabel;

// How a figure is written: fixed decimals, "inf" for a record without noise, "-" when unknown.
QString FigureText(double value, int decimals);

class AnalysisFiguresView : public QWidget {
    Q_OBJECT
  public:
    explicit AnalysisFiguresView(QWidget *parent = nullptr);

    // lsbVolts 0: the microvolt column stays empty. No figures: every value is cleared.
    void showFigures(const std::optional<analysis::NoiseFigures> &figures,
                     const analysis::Spectrum &spectrum, double lsbVolts);
    // The value of a row ("Std dev (RMS noise)") in a unit ("codes", "uV", or "" for the
    // one-column rows); null for an unknown row.
    QLabel *value(const QString &row, const QString &unit = QString()) const;
    QLabel *toneNote() const { return m_toneNote; }

  private:
    QLabel *addValue(int row, int column, const QString &accessibleName);
    void set(const QString &row, const QString &unit, const QString &text);

    QLabel *m_toneNote = nullptr;
};
