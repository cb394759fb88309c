#include "analysis/analysis_figures_view.h"

#include "analysis/doubtful_mark.h"
#include "analysis/note_label.h"
#include "analysis/volts_text.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace {
const QString kCodes = QStringLiteral("codes");
const QString kVolts = QStringLiteral("volts");

// Rows with a value in codes and in volts (each value in the unit that shows three digits).
const char *const kTwoColumnRows[] = {"Mean", "Std dev (RMS noise)", "Peak-to-peak", "Minimum",
                                      "Maximum"};
// Rows with one value; the unit is in the row's caption.
const char *const kNoiseRows[] = {"Effective resolution (bits)", "Noise-free resolution (bits)",
                                  "Skewness", "Excess kurtosis", "Noise density"};
// With a tone, the figures above include it; this row is the noise apart from it.
const char *const kNoiseBesideTone = "RMS noise without the tone";
const char *const kToneRows[] = {"Tone frequency (Hz)",
                                 "Tone amplitude (dBFS)",
                                 "SNR (dB)",
                                 "THD (dB)",
                                 "SINAD (dB)",
                                 "SFDR (dBc)",
                                 "ENOB (bits)"};

QString objectNameFor(const QString &row, const QString &unit) {
    return unit.isEmpty() ? row : row + u' ' + unit;
}
} // namespace

QString FigureText(double value, int decimals) {
    if (std::isnan(value))
        return QStringLiteral("-");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    return QString::number(value, 'f', decimals);
}

AnalysisFiguresView::AnalysisFiguresView(QWidget *parent) : QWidget(parent) {
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    int row = 0;
    m_clipNote = new QLabel(this);
    m_clipNote->setWordWrap(true);
    m_clipNote->setStyleSheet(
        QStringLiteral("font-weight: bold; color: %1;").arg(DoubtfulColour().name()));
    m_clipNote->hide();
    grid->addWidget(m_clipNote, row++, 0, 1, 3);
    auto *codesHeader = new QLabel(kCodes, this);
    auto *voltsHeader = new QLabel(kVolts, this);
    grid->addWidget(codesHeader, row, 1, Qt::AlignRight);
    grid->addWidget(voltsHeader, row, 2, Qt::AlignRight);
    ++row;
    // A row without volts gives its one value both columns: room for a sentence.
    auto addRow = [&](const QString &name, bool inCodes, bool inVolts) {
        auto *caption = new QLabel(name, this);
        grid->addWidget(caption, row, 0);
        QLineEdit *first = addValue(row, 1, inVolts || inCodes ? 1 : 2,
                                    objectNameFor(name, inCodes ? kCodes : QString()));
        caption->setBuddy(first);
        if (inVolts)
            addValue(row, 2, 1, objectNameFor(name, kVolts));
        ++row;
    };
    addRow(QStringLiteral("Count"), true, false);
    for (const char *name : kTwoColumnRows)
        addRow(QString::fromUtf8(name), true, true);
    for (const char *name : kNoiseRows)
        addRow(QString::fromUtf8(name), false, false);
    m_toneNote = new QLabel(this);
    m_toneNote->setWordWrap(true);
    grid->addWidget(m_toneNote, row++, 0, 1, 3);
    addRow(QString::fromUtf8(kNoiseBesideTone), true, true);
    for (const char *name : kToneRows)
        addRow(QString::fromUtf8(name), false, false);
    grid->setRowStretch(row, 1);
}

QLineEdit *AnalysisFiguresView::addValue(int row, int column, int columnSpan,
                                         const QString &accessibleName) {
    auto *edit = new QLineEdit(this);
    edit->setObjectName(accessibleName);
    edit->setAccessibleName(accessibleName);
    edit->setReadOnly(true);
    edit->setFrame(false);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Read-only fields that look like the text around them.
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-00000000.000")));
    static_cast<QGridLayout *>(layout())->addWidget(edit, row, column, 1, columnSpan);
    return edit;
}

QLineEdit *AnalysisFiguresView::value(const QString &row, const QString &unit) const {
    return findChild<QLineEdit *>(objectNameFor(row, unit), Qt::FindDirectChildrenOnly);
}

void AnalysisFiguresView::set(const QString &row, const QString &unit, const QString &text) {
    if (QLineEdit *edit = value(row, unit)) {
        edit->setText(text);
        edit->setCursorPosition(0);
    }
}

void AnalysisFiguresView::mark(bool clipped) {
    m_marked = clipped;
    const QString description = clipped ? tr("Figure of a clipped record") : QString();
    for (QLineEdit *edit : findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly)) {
        MarkDoubtful(edit, clipped, description);
        edit->setToolTip(description);
    }
}

void AnalysisFiguresView::showFigures(const std::optional<analysis::NoiseFigures> &figures,
                                      const analysis::Spectrum &spectrum, double lsbVolts) {
    for (QLineEdit *edit : findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly))
        edit->clear();
    ShowNote(m_toneNote, QString());
    const std::string clipped =
        figures ? analysis::ClippedText(figures->clipped, figures->count) : std::string();
    ShowNote(m_clipNote, QString::fromStdString(clipped));
    m_clipNote->setVisible(!clipped.empty());
    mark(!clipped.empty());
    if (!figures)
        return;
    const analysis::NoiseFigures &f = *figures;
    auto both = [&](const char *row, double codes, int codeDecimals) {
        set(QString::fromUtf8(row), kCodes, FigureText(codes, codeDecimals));
        if (lsbVolts > 0)
            set(QString::fromUtf8(row), kVolts,
                QString::fromStdString(analysis::FormatVolts(codes * lsbVolts)));
    };
    set(QStringLiteral("Count"), kCodes, QString::number(f.count));
    both("Mean", f.mean, 3);
    both("Std dev (RMS noise)", f.stdDev, 3);
    both("Peak-to-peak", double(f.peakToPeak), 0);
    both("Minimum", f.minimum, 0);
    both("Maximum", f.maximum, 0);
    // Without noise the resolutions are no numbers: a sentence says why.
    const QString noNoise = QString::fromUtf8(analysis::kNoNoiseText);
    set(QString::fromUtf8(kNoiseRows[0]), {},
        f.noNoise() ? noNoise : FigureText(f.effectiveBits, 2));
    set(QString::fromUtf8(kNoiseRows[1]), {},
        f.noNoise() ? noNoise : FigureText(f.noiseFreeBits, 2));
    set(QString::fromUtf8(kNoiseRows[2]), {}, FigureText(f.skewness, 3));
    set(QString::fromUtf8(kNoiseRows[3]), {}, FigureText(f.excessKurtosis, 3));
    if (lsbVolts > 0 && spectrum.fftLength > 0)
        set(QString::fromUtf8(kNoiseRows[4]), {},
            QString::fromStdString(
                analysis::FormatVolts(spectrum.noiseDensityCodes * lsbVolts, "/\u221AHz")));

    if (spectrum.fftLength == 0)
        return;
    if (!spectrum.tone) {
        ShowNote(m_toneNote, tr("No tone stands clearly above the noise."), tr("Tone"));
        return;
    }
    const analysis::ToneMetrics &t = *spectrum.tone;
    // Standard deviation, peak-to-peak and the resolutions are the record's, tone and all; the
    // spectrum tells the noise apart from it.
    ShowNote(m_toneNote,
             tr("Tone at bin %1. The figures above include the tone; below, the noise without "
                "it and the tone's figures (ENOB referred to full scale):")
                 .arg(t.bin),
             tr("Tone"));
    both(kNoiseBesideTone, t.noiseRmsCodes, 3);
    const double values[] = {t.frequencyHz, t.amplitudeDbfs, t.snrDb, t.thdDb,
                             t.sinadDb,     t.sfdrDb,        t.enob};
    const int decimals[] = {3, 2, 2, 2, 2, 2, 2};
    for (size_t i = 0; i < std::size(values); ++i)
        set(QString::fromUtf8(kToneRows[i]), {}, FigureText(values[i], decimals[i]));
}
