#include "distribution_chart.h"

#include "chart_frame.h"

#include <QPainter>

#include <algorithm>

QImage DrawDistribution(QSize size, bool hasSamples, const Distribution &distribution,
                        const ChartState &state, const ChartColors &colors, const QFont &font) {
    QImage picture = NewChartPicture(size, colors);
    QPainter painter(&picture);
    DrawChartFrame(painter, size, state, colors, font);
    if (!hasSamples)
        return picture;
    const int h = size.height();
    const int base = h - kPlotBottomMargin;

    const std::array<int, kBandCount> heights = BarHeights(distribution.g_bandCounts);
    QPen pen(colors.m_dataColor, 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    for (int k = 0; k < kBandCount; ++k) {
        for (int x = 73 + 50 * k; x <= 102 + 50 * k; ++x)
            DrawSegment(painter, x, base, x, base - heights[k]);
    }

    painter.setPen(colors.m_scaleColor);
    for (int k = 0; k < kBandCount; ++k) {
        const int o = 5 * (k + 1) * state.m_divisionWidth;
        const int s = k % 2 == 0 ? 0 : 9;
        DrawLabel(painter, o + 40, h - 23 + s, o + 84, h - 7 + s,
                  static_cast<int>(distribution.g_bandLimits[k]));
    }
    const int32_t largest =
        *std::max_element(distribution.g_bandCounts.begin(), distribution.g_bandCounts.end());
    const std::array<int, 7> counts = CountLabels(BarScale(largest));
    for (int i = 0; i < 7; ++i) {
        const int y = h - 5 * i * state.m_divisionHeight;
        DrawLabel(painter, 15, y - 37, 55, y - 22, counts[i]);
    }
    return picture;
}
