#include "strip_chart.h"

#include <QPainter>

#include <algorithm>

namespace {
using capture::EnvelopeColumn;

const QColor kBackground(255, 255, 255);
const QColor kFrame(160, 160, 160);
const QColor kTrace(20, 60, 160);
const QColor kText(0, 0, 0);

// Columns spread over width pixels: pixel x shows the min/max of the columns under it.
std::vector<EnvelopeColumn> ToPixels(const std::vector<EnvelopeColumn> &columns, int width) {
    std::vector<EnvelopeColumn> pixels;
    if (columns.empty() || width <= 0)
        return pixels;
    const size_t n = columns.size();
    const size_t used = std::min<size_t>(static_cast<size_t>(width), n);
    pixels.reserve(used);
    for (size_t x = 0; x < used; ++x) {
        const size_t lo = n * x / used, hi = std::max(lo + 1, n * (x + 1) / used);
        EnvelopeColumn c = columns[lo];
        for (size_t i = lo + 1; i < hi; ++i) {
            c.minimum = std::min(c.minimum, columns[i].minimum);
            c.maximum = std::max(c.maximum, columns[i].maximum);
        }
        pixels.push_back(c);
    }
    return pixels;
}

void DrawPane(QPainter &p, const QRect &area, const std::vector<EnvelopeColumn> &columns,
              const QString &title) {
    p.setPen(kFrame);
    p.drawRect(area.adjusted(0, 0, -1, -1));
    p.setPen(kText);
    const QRect plot = area.adjusted(70, 26, -6, -10);
    p.drawText(area.adjusted(6, 2, -6, 0), Qt::AlignLeft | Qt::AlignTop, title);
    if (columns.empty() || plot.width() <= 0 || plot.height() <= 0)
        return;
    int32_t lo = columns.front().minimum, hi = columns.front().maximum;
    for (const EnvelopeColumn &c : columns) {
        lo = std::min(lo, c.minimum);
        hi = std::max(hi, c.maximum);
    }
    // The extremes beside the trace's top and bottom, inside the pane.
    p.drawText(QRect(area.left() + 2, plot.top() - 2, 64, 16), Qt::AlignRight | Qt::AlignTop,
               QString::number(hi));
    p.drawText(QRect(area.left() + 2, plot.bottom() - 14, 64, 16), Qt::AlignRight | Qt::AlignBottom,
               QString::number(lo));
    const double span = std::max<double>(1.0, static_cast<double>(hi) - lo);
    auto yOf = [&](int32_t v) {
        return plot.bottom() -
               static_cast<int>((static_cast<double>(v) - lo) / span * (plot.height() - 1) + 0.5);
    };
    const std::vector<EnvelopeColumn> pixels = ToPixels(columns, plot.width());
    const double step = static_cast<double>(plot.width()) / pixels.size();
    p.setPen(kTrace);
    int lastX = -1, lastY = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const int x = plot.left() + static_cast<int>(i * step);
        const int top = yOf(pixels[i].maximum), bottom = yOf(pixels[i].minimum);
        p.drawLine(x, top, x, bottom);
        // Sparse columns (few samples) are joined, so the trace reads as a line.
        if (lastX >= 0 && x - lastX > 1)
            p.drawLine(lastX, lastY, x, (top + bottom) / 2);
        lastX = x;
        lastY = (top + bottom) / 2;
    }
}
} // namespace

CaptureStripChart::CaptureStripChart(QWidget *parent) : QWidget(parent) {
    setAccessibleName(tr("Strip chart"));
    setMinimumSize(360, 200);
}

void CaptureStripChart::showRun(const capture::RunEnvelope &envelope) {
    m_columns = envelope.columns();
    m_samples = envelope.samples();
    m_recent = envelope.recent();
    setAccessibleDescription(tr("%n sample(s) in the run", nullptr,
                                static_cast<int>(std::min<uint64_t>(m_samples, INT32_MAX))));
    update();
}

QImage CaptureStripChart::render(QSize size) const {
    QImage image(size, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter p(&image);
    p.setFont(font());
    const int half = size.height() / 2;
    DrawPane(p, QRect(0, 0, size.width(), half), m_columns,
             tr("Whole run: %1 samples").arg(m_samples));
    std::vector<EnvelopeColumn> recent;
    recent.reserve(m_recent.size());
    for (int32_t v : m_recent)
        recent.push_back({v, v});
    DrawPane(p, QRect(0, half, size.width(), size.height() - half), recent,
             tr("Last %1 samples").arg(m_recent.size()));
    return image;
}

void CaptureStripChart::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.drawImage(0, 0, render(size()));
}
