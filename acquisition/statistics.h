#pragma once
// Minimum, maximum, average and the line chart's vertical centre and scale.

#include "chart_state.h"

#include <cstdint>
#include <vector>

// Needs at least one sample; with none it leaves the state alone and returns false.
bool UpdateStatistics(const std::vector<int32_t> &samples, ChartState &state);

// Codes per division the line chart draws with. Past the largest step (990) the same rule goes
// on, so that a spread too wide for the steps is still drawn whole with true value labels.
float DrawingUnitsPerDivision(const ChartState &state);
