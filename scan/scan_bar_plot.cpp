#include "scan_bar_plot.h"

#include "analysis/volts_text.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kMargin = 8;
const QColor kBar(0x30, 0x60, 0xB0);

// A round top for the value axis: 1, 2 or 5 times a power of ten at or above the largest bar.
double axisTop(double largest) {
    if (!(largest > 0))
        return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(largest)));
    for (double step : {1.0, 2.0, 5.0, 10.0}) {
        if (step * power >= largest)
            return step * power;
    }
    return 10.0 * power;
}
} // namespace

ScanBarPlot::ScanBarPlot(QWidget *parent) : QWidget(parent) {
    setAccessibleName(tr("Standard deviation per input"));
    // Reached with Tab, so a screen reader reads the bars' values from the description.
    setFocusPolicy(Qt::TabFocus);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void ScanBarPlot::setBars(const QStringList &labels, const std::vector<double> &values,
                          const QString &unit) {
    m_labels = labels;
    m_values = values;
    m_unit = unit;
    // Microvolts go to the unit the largest bar reads in with three digits: an axis of
    // 500000 \u00B5V reads as 500 mV.
    if (unit == QStringLiteral("\u00B5V") && !values.empty()) {
        const double largest = *std::max_element(values.begin(), values.end());
        const analysis::VoltUnit volts = analysis::VoltUnitFor(largest * 1e-6);
        for (double &value : m_values) {
            if (value >= 0)
                value *= volts.perVolt * 1e-6;
        }
        m_unit = QString::fromUtf8(volts.symbol);
    }
    QStringList read;
    for (qsizetype i = 0; i < labels.size() && i < qsizetype(m_values.size()); ++i) {
        if (m_values[size_t(i)] >= 0)
            read << QStringLiteral("%1 %2 %3")
                        .arg(labels[i], QString::number(m_values[size_t(i)], 'g', 4), m_unit);
    }
    setAccessibleDescription(read.isEmpty() ? tr("No input measured yet.")
                                            : read.join(QStringLiteral("; ")));
    update();
}

void ScanBarPlot::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int count = int(m_values.size());
    const QString title = m_unit.isEmpty() ? tr("Standard deviation per input")
                                           : tr("Standard deviation per input (%1)").arg(m_unit);
    painter.drawText(QRect(0, kMargin, width(), metrics.height()), Qt::AlignHCenter, title);
    if (count == 0)
        return;
    int longest = 0;
    for (const QString &label : m_labels)
        longest = std::max(longest, metrics.horizontalAdvance(label));
    const double largest = *std::max_element(m_values.begin(), m_values.end());
    const double top = axisTop(largest);
    int widestTick = 0;
    for (int step = 1; step <= 5; ++step)
        widestTick = std::max(widestTick,
                              metrics.horizontalAdvance(QString::number(top * step / 5, 'g', 6)));
    const int left = kMargin + widestTick + 4;
    const int plotTop = kMargin + 2 * metrics.height();
    // Labels under the bars, turned upright when they do not fit side by side.
    const int slot = std::max(1, (width() - left - kMargin) / count);
    const bool upright = longest + 4 > slot;
    const int labelHeight = upright ? longest + 4 : metrics.height() + 4;
    const int bottom = height() - kMargin - labelHeight;
    if (bottom <= plotTop)
        return;
    painter.setPen(palette().color(QPalette::Text));
    painter.drawLine(left, plotTop, left, bottom);
    painter.drawLine(left, bottom, left + slot * count, bottom);
    painter.drawText(
        QRect(kMargin, bottom - metrics.height() / 2, left - kMargin - 4, metrics.height()),
        Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0"));
    // Light lines at each fifth of the axis, for reading a bar's height.
    const QColor grid = palette().color(QPalette::Mid);
    for (int step = 1; step <= 5; ++step) {
        const int y = bottom - (bottom - plotTop) * step / 5;
        painter.setPen(grid);
        painter.drawLine(left + 1, y, left + slot * count, y);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(
            QRect(kMargin, y - metrics.height() / 2, left - kMargin - 4, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, QString::number(top * step / 5, 'g', 6));
    }
    for (int i = 0; i < count; ++i) {
        const int x = left + i * slot;
        const double value = m_values[size_t(i)];
        if (value >= 0) {
            const int h = int(std::lround((bottom - plotTop) * std::min(value / top, 1.0)));
            painter.fillRect(QRect(x + slot / 6, bottom - h, std::max(1, slot - slot / 3), h),
                             kBar);
        }
        const QString label = i < m_labels.size() ? m_labels[i] : QString();
        if (upright) {
            painter.save();
            painter.translate(x + slot / 2 - metrics.ascent() / 2, bottom + 4);
            painter.rotate(90);
            painter.drawText(0, 0, label);
            painter.restore();
        } else {
            painter.drawText(QRect(x, bottom + 2, slot, metrics.height()), Qt::AlignHCenter, label);
        }
    }
}
