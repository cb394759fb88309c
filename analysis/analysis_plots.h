#pragma once
// Fills the three plots of the analysis window from the computed results.

#include "analysis/histogram.h"
#include "analysis/spectrum.h"

#include <cstdint>
#include <vector>

class PlotView;

// Builds the series of each plot once (the trace is the view's own).
void SetUpRecordPlot(PlotView *plot);
void SetUpHistogramPlot(PlotView *plot);
void SetUpSpectrumPlot(PlotView *plot);

// Every sample against its index, in codes.
void DrawRecord(PlotView *plot, const std::vector<int32_t> &samples);
// The counts as steps with the fitted Gaussian over them.
void DrawHistogram(PlotView *plot, const analysis::Histogram &histogram);
// dBFS against hertz.
void DrawSpectrum(PlotView *plot, const analysis::Spectrum &spectrum);
