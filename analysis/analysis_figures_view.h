#pragma once
// The figures of the analysis window: a grid of read-only fields, each named by its row and
// unit ("Std dev (RMS noise) codes", "SNR dB"), so a screen reader reads name and value as it
// does the main window's Minimum, Maximum and Average. Above them, a note when the record
// clipped; between them, what the spectrum found.

#include "analysis/noise_figures.h"
#include "analysis/spectrum.h"

#include <QString>
#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;

// How a figure is written: fixed decimals, "inf" for an infinite one, "-" when unknown.
QString FigureText(double value, int decimals);

class AnalysisFiguresView : public QWidget {
    Q_OBJECT
  public:
    explicit AnalysisFiguresView(QWidget *parent = nullptr);

    // lsbVolts 0: the volts column stays empty. No figures: every value is cleared. With a
    // tone, the tone note says the figures include it and a row gives the noise without it.
    void showFigures(const std::optional<analysis::NoiseFigures> &figures,
                     const analysis::Spectrum &spectrum, double lsbVolts);
    // The value of a row ("Std dev (RMS noise)") in a unit ("codes", "volts", or "" for the
    // one-column rows); null for an unknown row. Volts carry their unit ("19.1 nV").
    QLineEdit *value(const QString &row, const QString &unit = QString()) const;
    QLabel *toneNote() const { return m_toneNote; }
    // "Clipped: N of M samples at the code limits", or empty.
    QLabel *clipNote() const { return m_clipNote; }
    // True while the figures are those of a clipped record (and drawn as doubtful).
    bool marked() const { return m_marked; }

  private:
    QLineEdit *addValue(int row, int column, int columnSpan, const QString &accessibleName);
    void set(const QString &row, const QString &unit, const QString &text);
    void mark(bool clipped);

    QLabel *m_clipNote = nullptr;
    QLabel *m_toneNote = nullptr;
    bool m_marked = false;
};
