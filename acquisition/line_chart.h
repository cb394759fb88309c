#pragma once
// The line chart: 45 consecutive samples from a start index over the chart frame, with sample
// numbers under the grid and code values left of it.

#include "chart_state.h"

#include <QFont>
#include <QImage>
#include <QSize>

#include <array>
#include <cstdint>
#include <vector>

// Code value of horizontal grid lines 0, 5, ... 30, bottom to top.
std::array<int, 7> LineValueLabels(int32_t centre, float unitsPerDivision);

// Pixel row of a sample value; bottom is the value of grid line 0.
int SampleY(int32_t value, int bottom, float unitsPerDivision, int divisionHeight, int height);

// With no samples only the frame; otherwise labels and the data line from sample start.
QImage DrawLineChart(QSize size, const std::vector<int32_t> &samples, int start,
                     const ChartState &state, const ChartColors &colors, const QFont &font);
