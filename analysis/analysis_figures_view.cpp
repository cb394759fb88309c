#include "analysis/analysis_figures_view.h"

#include <QGridLayout>
#include <QLabel>

#include <cmath>

namespace {
const QString kCodes = QStringLiteral("codes");
const QString kMicrovolts = QStringLiteral("uV");

// Rows with a value in codes and in microvolts.
const char *const kTwoColumnRows[] = {"Mean", "Std dev (RMS noise)", "Peak-to-peak", "Minimum",
                                      "Maximum"};
// Rows with one value; the unit is in the row's caption.
const char *const kNoiseRows[] = {"Effective resolution (bits)", "Noise-free resolution (bits)",
                                  "Skewness", "Excess kurtosis", "Noise density (nV/\u221AHz)"};
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
    auto *codesHeader = new QLabel(kCodes, this);
    auto *voltsHeader = new QLabel(QStringLiteral("\u00B5V"), this);
    grid->addWidget(codesHeader, row, 1, Qt::AlignRight);
    grid->addWidget(voltsHeader, row, 2, Qt::AlignRight);
    ++row;
    auto addRow = [&](const QString &name, bool inCodes, bool inMicrovolts) {
        auto *caption = new QLabel(name, this);
        grid->addWidget(caption, row, 0);
        QLabel *first = addValue(row, 1, objectNameFor(name, inCodes ? kCodes : QString()));
        caption->setBuddy(first);
        if (inMicrovolts)
            addValue(row, 2, objectNameFor(name, kMicrovolts));
        ++row;
    };
    addRow(QStringLiteral("Count"), true, false);
    for (const char *name : kTwoColumnRows)
        addRow(QString::fromUtf8(name), true, true);
    for (const char *name : kNoiseRows)
        addRow(QString::fromUtf8(name), false, false);
    m_toneNote = new QLabel(this);
    m_toneNote->setAccessibleName(QStringLiteral("Tone"));
    m_toneNote->setWordWrap(true);
    grid->addWidget(m_toneNote, row++, 0, 1, 3);
    for (const char *name : kToneRows)
        addRow(QString::fromUtf8(name), false, false);
    grid->setRowStretch(row, 1);
}

QLabel *AnalysisFiguresView::addValue(int row, int column, const QString &accessibleName) {
    auto *label = new QLabel(this);
    label->setObjectName(accessibleName);
    label->setAccessibleName(accessibleName);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setFocusPolicy(Qt::StrongFocus);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("-00000000.000")));
    static_cast<QGridLayout *>(layout())->addWidget(label, row, column);
    return label;
}

QLabel *AnalysisFiguresView::value(const QString &row, const QString &unit) const {
    return findChild<QLabel *>(objectNameFor(row, unit), Qt::FindDirectChildrenOnly);
}

void AnalysisFiguresView::set(const QString &row, const QString &unit, const QString &text) {
    if (QLabel *label = value(row, unit))
        label->setText(text);
}

void AnalysisFiguresView::showFigures(const std::optional<analysis::NoiseFigures> &figures,
                                      const analysis::Spectrum &spectrum, double lsbVolts) {
    for (QLabel *label : findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
        if (!label->accessibleName().isEmpty() && label != m_toneNote)
            label->clear();
    m_toneNote->clear();
    if (!figures)
        return;
    const analysis::NoiseFigures &f = *figures;
    const double uv = lsbVolts * 1e6;
    auto both = [&](const char *row, double codes, int codeDecimals) {
        set(QString::fromUtf8(row), kCodes, FigureText(codes, codeDecimals));
        if (uv > 0)
            set(QString::fromUtf8(row), kMicrovolts, FigureText(codes * uv, 3));
    };
    set(QStringLiteral("Count"), kCodes, QString::number(f.count));
    both("Mean", f.mean, 3);
    both("Std dev (RMS noise)", f.stdDev, 3);
    both("Peak-to-peak", double(f.peakToPeak), 0);
    both("Minimum", f.minimum, 0);
    both("Maximum", f.maximum, 0);
    set(QString::fromUtf8(kNoiseRows[0]), {}, FigureText(f.effectiveBits, 2));
    set(QString::fromUtf8(kNoiseRows[1]), {}, FigureText(f.noiseFreeBits, 2));
    set(QString::fromUtf8(kNoiseRows[2]), {}, FigureText(f.skewness, 3));
    set(QString::fromUtf8(kNoiseRows[3]), {}, FigureText(f.excessKurtosis, 3));
    if (uv > 0 && spectrum.fftLength > 0)
        set(QString::fromUtf8(kNoiseRows[4]), {},
            FigureText(spectrum.noiseDensityCodes * lsbVolts * 1e9, 2));

    if (spectrum.fftLength == 0)
        return;
    if (!spectrum.tone) {
        m_toneNote->setText(tr("No tone stands clearly above the noise."));
        return;
    }
    const analysis::ToneMetrics &t = *spectrum.tone;
    m_toneNote->setText(tr("Tone at bin %1 (ENOB referred to full scale):").arg(t.bin));
    const double values[] = {t.frequencyHz, t.amplitudeDbfs, t.snrDb, t.thdDb,
                             t.sinadDb,     t.sfdrDb,        t.enob};
    const int decimals[] = {3, 2, 2, 2, 2, 2, 2};
    for (size_t i = 0; i < std::size(values); ++i)
        set(QString::fromUtf8(kToneRows[i]), {}, FigureText(values[i], decimals[i]));
}
