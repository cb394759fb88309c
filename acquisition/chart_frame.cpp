#include "chart_frame.h"

#include <QPainter>
#include <QPen>

QImage NewChartPicture(QSize size, const ChartColors &colors) {
    QImage picture(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    picture.fill(colors.m_backgroundColor);
    return picture;
}

void DrawSegment(QPainter &painter, int ax, int ay, int bx, int by) {
    // drawLine paints its end point; the segment must stop one pixel short of it.
    const int stepX = bx > ax ? 1 : (bx < ax ? -1 : 0);
    const int stepY = by > ay ? 1 : (by < ay ? -1 : 0);
    if (stepX == 0 && stepY == 0)
        return;
    painter.drawLine(ax, ay, bx - stepX, by - stepY);
}

void DrawLabel(QPainter &painter, int left, int top, int right, int bottom, int value) {
    // A number wider than its box is drawn whole: cut at the box's edges, -166050 would read
    // as 16605. Left of the plot it ends just before the ticks instead of running over them.
    const QString text = QString::number(value);
    const int width = painter.fontMetrics().horizontalAdvance(text);
    QRect box(left, top, right - left, bottom - top);
    if (width > box.width()) {
        const int centre = left + (right - left) / 2;
        int textLeft = centre - width / 2;
        if (right <= kPlotLeft && textLeft + width > kTickEnd)
            textLeft = kTickEnd - width;
        box = QRect(textLeft, top, width, bottom - top);
    }
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, text);
}

void DrawChartFrame(QPainter &painter, QSize size, const ChartState &state,
                    const ChartColors &colors, const QFont &font) {
    const int w = size.width();
    const int h = size.height();
    const int bottom = h - kPlotBottomMargin;
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    QPen grid(colors.m_gridColor, 1);
    grid.setCosmetic(true);
    painter.setPen(grid);
    painter.fillRect(0, 0, w, h, colors.m_backgroundColor);

    for (int f = 0; f <= 45; ++f) {
        const int x = kPlotLeft + f * state.m_divisionWidth;
        DrawSegment(painter, x, 0, x, bottom);
        if (f % 5 == 0) {
            DrawSegment(painter, x, h - 27, x, h - 24);
            DrawSegment(painter, x + 1, 0, x + 1, bottom);
            DrawSegment(painter, x + 1, h - 27, x + 1, h - 24);
        }
    }
    for (int g = 0; g <= 30; ++g) {
        const int y = bottom - g * state.m_divisionHeight;
        DrawSegment(painter, kPlotLeft, y, w, y);
        if (g % 5 == 0) {
            DrawSegment(painter, 60, y, kTickEnd, y);
            DrawSegment(painter, kPlotLeft, y - 1, w, y - 1);
            DrawSegment(painter, 60, y - 1, kTickEnd, y - 1);
        }
    }

    painter.setFont(font);
    painter.setPen(colors.m_scaleColor);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(colors.m_backgroundColor);
}
