#pragma once
// What the chart drawings are made from: the statistics and scale of the samples, and the four
// colours the user may change.

#include <QColor>

#include <cstdint>

struct ChartState {
    int32_t m_minimum = 0;
    int32_t m_maximum = 0;
    int32_t m_average = 0;         // 64-bit sum / count, truncated toward zero
    int32_t m_centre = 0;          // code at the line chart's vertical middle
    float m_unitsPerDivision = 0;  // 10 ... 990, or 0 when no step fits the spread
    int32_t m_divisionWidth = 10;  // pixels
    int32_t m_divisionHeight = 10; // pixels
    float m_sampleSpacing = 1.0f;  // divisions between neighbouring samples
};

struct ChartColors {
    QColor m_scaleColor{224, 224, 224};
    QColor m_gridColor{0, 160, 0};
    QColor m_dataColor{255, 0, 0};
    QColor m_backgroundColor{16, 16, 16};
};
