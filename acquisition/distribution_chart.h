#pragma once
// The distribution drawing: one 30-pixel column per band over the chart frame, band limits
// under the grid on two staggered rows and counts left of it.

#include "chart_state.h"
#include "distribution.h"

#include <QFont>
#include <QImage>
#include <QSize>

// With hasSamples false only the frame is drawn.
QImage DrawDistribution(QSize size, bool hasSamples, const Distribution &distribution,
                        const ChartState &state, const ChartColors &colors, const QFont &font);
