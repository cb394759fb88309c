#include "line_chart.h"

#include "chart_frame.h"
#include "statistics.h"

#include <QPainter>
#include <QPolygon>

std::array<int, 7> LineValueLabels(int32_t centre, float unitsPerDivision) {
    std::array<int, 7> labels{};
    int v = static_cast<int>(static_cast<float>(centre) - unitsPerDivision * 15.0);
    for (int &label : labels) {
        label = v;
        v = static_cast<int>(static_cast<float>(v) + unitsPerDivision * 5.0);
    }
    return labels;
}

int SampleY(int32_t value, int bottom, float unitsPerDivision, int divisionHeight, int height) {
    const float codesPerPixel = unitsPerDivision / static_cast<float>(divisionHeight);
    const float base = static_cast<float>(height - kPlotBottomMargin);
    const int32_t above = value - bottom;
    return static_cast<int>(base - static_cast<float>(above) / codesPerPixel);
}

namespace {
void drawLabels(QPainter &painter, QSize size, int start, const ChartState &state, float units) {
    const int h = size.height();
    for (int n = 5; n <= 45; n += 5) {
        const int x = n * state.m_divisionWidth;
        DrawLabel(painter, x + 42, h - 23, x + 82, h - 7, start + n);
    }
    const std::array<int, 7> values = LineValueLabels(state.m_centre, units);
    for (int i = 0; i < 7; ++i) {
        const int y = h - 5 * i * state.m_divisionHeight;
        DrawLabel(painter, 15, y - 37, 55, y - 22, values[i]);
    }
}

void drawData(QPainter &painter, QSize size, const std::vector<int32_t> &samples, int start,
              const ChartState &state, const ChartColors &colors, float units) {
    const int64_t count = static_cast<int64_t>(samples.size());
    if (start < 0 || start >= count)
        return;
    const int bottom = LineValueLabels(state.m_centre, units)[0];
    const int firstX = state.m_divisionWidth + kPlotLeft;
    QPolygon points;
    for (int i = 0; i < 45 && start + i < count; ++i) {
        const int x = static_cast<int>(static_cast<float>(i) * state.m_sampleSpacing *
                                           static_cast<float>(state.m_divisionWidth) +
                                       static_cast<float>(firstX));
        points << QPoint(
            x, SampleY(samples[start + i], bottom, units, state.m_divisionHeight, size.height()));
    }
    QPen pen(colors.m_dataColor, 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    if (points.size() == 1)
        painter.drawPoint(points.front()); // a lone sample still shows
    else
        painter.drawPolyline(points);
}
} // namespace

QImage DrawLineChart(QSize size, const std::vector<int32_t> &samples, int start,
                     const ChartState &state, const ChartColors &colors, const QFont &font) {
    QImage picture = NewChartPicture(size, colors);
    QPainter painter(&picture);
    DrawChartFrame(painter, size, state, colors, font);
    if (samples.empty())
        return picture;
    const float units = DrawingUnitsPerDivision(state);
    drawLabels(painter, size, start, state, units);
    drawData(painter, size, samples, start, state, colors, units);
    return picture;
}
