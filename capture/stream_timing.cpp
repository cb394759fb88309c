#include "stream_timing.h"

#include <algorithm>

namespace capture {
namespace {
// The rate's points are kept this far apart at least: a hundred points for ten seconds.
constexpr double kPointSpacingSeconds = 0.1;
} // namespace

StreamTiming::StreamTiming(double periodSeconds, double windowSeconds)
    : m_period(std::max(0.0, periodSeconds)), m_window(windowSeconds) {}

void StreamTiming::start(double seconds) {
    m_last = seconds;
}

void StreamTiming::onRead(double seconds, int items, bool full) {
    if (items <= 0)
        return;
    const double excess = (seconds - m_last) - items * m_period;
    m_last = seconds;
    m_lateness = std::max(0.0, m_lateness + excess);
    if (!full)
        m_longest = std::max(m_longest, excess);

    m_items += items;
    m_latest = {seconds, m_items};
    if (m_points.empty() || seconds - m_points.back().seconds >= kPointSpacingSeconds)
        m_points.push_back(m_latest);
    // The front stays the last point at or before the window's start.
    while (m_points.size() > 2 && m_points[1].seconds <= seconds - m_window)
        m_points.pop_front();
}

double StreamTiming::rate() const {
    if (m_points.empty())
        return -1.0;
    const Point &from = m_points.front();
    const double span = m_latest.seconds - from.seconds;
    if (!(span > 0))
        return -1.0;
    return (m_latest.items - from.items) / span;
}

} // namespace capture
