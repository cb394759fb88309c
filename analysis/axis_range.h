#pragma once
// The arithmetic of a plot's axes, apart from any widget: round tick steps that fit the room
// the axis has, and zooming and panning that stay within the data. No Qt.

namespace analysis {

struct AxisRange {
    double min = 0.0;
    double max = 1.0;
    double span() const { return max - min; }
    bool operator==(const AxisRange &) const = default;
};

// The tick step for a range: 1, 2 or 5 times a power of ten, the smallest that leaves at most
// maxTicks ticks in the range (at least one tick's room is assumed). 0 for an empty range.
double NiceTickStep(AxisRange range, int maxTicks);

// The first tick at or above range.min: a whole multiple of step.
double FirstTick(AxisRange range, double step);

// Decimals that write every multiple of step exactly (0 for whole steps, 2 for 0.05).
int TickDecimals(double step);

// The range zoomed by factor (above 1 closer, below 1 farther) about the value at, which keeps
// its place on the axis; then kept within full: never wider than full and moved back inside
// where it would leave it.
AxisRange ZoomAbout(AxisRange view, double at, double factor, AxisRange full);

// The range moved by shift, kept within full with its span unchanged (or full itself when the
// view is as wide).
AxisRange PanWithin(AxisRange view, double shift, AxisRange full);

// The view moved back inside full, narrowed to full where it is wider.
AxisRange KeepWithin(AxisRange view, AxisRange full);

// Decades between two labels of a log axis spanning decades, so that its labels (each
// labelSize long along the axis, gap included) fit in room: 1, 2, 3 ... Labels that run
// together ("1001000") or get cut ("1e...") say nothing.
int DecadesPerLabel(double decades, double room, double labelSize);

} // namespace analysis
