#pragma once
// The picture both charts are drawn on: background, 45 x 30 division grid with two-pixel major
// lines and ticks, and the labels' text. Segments are end-exclusive.

#include "chart_state.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

// Left edge of the plot (vertical grid line 0) and its distance from the picture's bottom.
constexpr int kPlotLeft = 63;
constexpr int kPlotBottomMargin = 30;
// Where the ticks of the horizontal major lines stop (x = 57 itself is not drawn).
constexpr int kTickEnd = 57;

// A fresh picture of the chart area's size filled with the background colour.
QImage NewChartPicture(QSize size, const ChartColors &colors);

// Draws the grid and leaves the painter set for labels: no antialiasing, the given font, scale
// colour on an opaque background of the background colour.
void DrawChartFrame(QPainter &painter, QSize size, const ChartState &state,
                    const ChartColors &colors, const QFont &font);

// A horizontal or vertical segment from a up to, but not including, b.
void DrawSegment(QPainter &painter, int ax, int ay, int bx, int by);

// "%d" of value, centred horizontally and aligned to the top of the rectangle from (left, top)
// to (right, bottom), right and bottom excluded. A number too wide for it is still drawn whole.
void DrawLabel(QPainter &painter, int left, int top, int right, int bottom, int value);
