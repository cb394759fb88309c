#pragma once
// The stream's timing as its items arrive: the rate over the last seconds, and the dead time,
// the time in which no conversion arrived beyond one conversion period, whatever the reason (a
// board that paused, a line that stalled, the turn between two requests).
//
// The program reads the line a few milliseconds at a time and sees items in groups. After each
// read, the time since the read before is set against the items it brought, one conversion
// period each: what is left over is lateness. Lateness adds up and is paid back by a read that
// brings more than its time accounts for (a backlog the driver held while the program was
// busy: those conversions did arrive, only their reading was late), never below zero. The dead
// time is the lateness that was not paid back; the longest gap is the most one read added. The
// reads' own jitter (a read a millisecond late brings a few items more) cancels out instead of
// adding up. A board whose clock runs slower than its nominal rate shows as dead time that
// grows slowly (50 ppm: 0.18 s an hour).

#include <deque>

namespace capture {

class StreamTiming {
  public:
    // periodSeconds: one conversion period as the program sees it, the longer of the chip's
    // nominal period and the wire's time for one item. windowSeconds: the rate's window.
    explicit StreamTiming(double periodSeconds, double windowSeconds = 10.0);

    // The first request went out at seconds (since the capture started).
    void start(double seconds);
    // A read returned at seconds with items; full: it took all it could take, more was
    // waiting (its lateness may be paid back by the next read, it is no gap of its own).
    void onRead(double seconds, int items, bool full);

    double deadSeconds() const { return m_lateness; }
    double longestGapSeconds() const { return m_longest; }
    // Items a second over the last window (over the time since the first arrival while the run
    // is shorter); negative until two reads have brought items.
    double rate() const;
    double periodSeconds() const { return m_period; }

  private:
    struct Point {
        double seconds;
        double items;
    };

    double m_period;
    double m_window;
    double m_last = 0.0; // when the last read returned (or the first request went out)
    double m_lateness = 0.0;
    double m_longest = 0.0;
    double m_items = 0.0;
    std::deque<Point> m_points; // (time, items so far), a tenth of a second apart at least
    Point m_latest{0.0, 0.0};
};

} // namespace capture
