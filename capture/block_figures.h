#pragma once
// What the capture shows of its blocks: each block's mean and standard deviation, and the drift
// of the block means over the run as a least-squares line. Constant memory however long the run.

#include "analysis/drift_line.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace capture {

struct BlockFigures {
    size_t count = 0;
    double mean = 0.0;      // codes
    double deviation = 0.0; // codes; divides by the count, as the analysis window does
};

BlockFigures FiguresOf(std::span<const int32_t> codes);

// Least-squares line through (time, block mean) points, by the long-run analysis's sums.
class DriftLine {
  public:
    void add(double seconds, double mean);
    // Two points at different times are needed for a slope.
    bool valid() const;
    // Codes per hour.
    double slopePerHour() const;
    // The slope's standard error needs a third point: two points always lie on their line, so
    // their slope carries no sign of how far the scatter of the means could have moved it.
    bool hasError() const;
    // The standard error of the slope, codes per hour (from the scatter of the means about the
    // line); 0 without hasError().
    double slopeErrorPerHour() const;
    size_t points() const { return static_cast<size_t>(m_sums.line().count); }

  private:
    bool m_timeMoved = false; // a point at another time than the first
    analysis::DriftAccumulator m_sums;
};

} // namespace capture
