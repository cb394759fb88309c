#pragma once
// The one rule that gives each sample of a stream its time, from when its items arrived. The
// capture writes these times in its files; a record export uses them where it has arrival
// times, and index / data rate where it has none.
//
// The stream is read in pieces (a capture writes one every fraction of a second). A piece's last
// sample is given the time its read returned, and the piece's samples are spaced evenly back to
// the last sample of the piece before it (for the first piece, back to the moment the first
// request went out): sample k of n gets anchor + (k + 1) * (end - anchor) / n. A host that read
// late takes a backlog at once, and this spreads it back over the time it arrived in; the times
// rise from piece to piece, whatever the blocks and files the pieces belong to.
//
// After a gap (the board lost and reopened) the first piece is spread back only to the moment
// the stream started again, never across the gap: no sample is given a time in which no
// conversion reached the program.

#include <span>

namespace analysis {

// What a file says of its time column.
inline constexpr const char *kArrivalTimeRule =
    "each piece's last sample at the time its read returned, the piece's samples evenly spaced "
    "back to the previous piece's last sample (the first piece: back to the first request)";
inline constexpr const char *kRateTimeRule = "index / data rate";

// Fills times (one per sample of the piece) by the rule above: the last is end, the others
// evenly spaced back to anchor. An end not after anchor gives every sample the anchor's time.
void SpreadPiece(double anchor, double end, std::span<double> times);

// The rule kept over a stream: each piece spread back to the last sample of the one before,
// or to where the stream (re)started.
class ArrivalTimes {
  public:
    // start: when the first request went out, in seconds since the capture started.
    explicit ArrivalTimes(double start = 0.0) : m_anchor(start) {}
    // Fills a piece's times, its last sample at end (when its read returned).
    void spread(double end, std::span<double> times);
    // The stream flows again after a gap from this moment on: the next piece is spread back to
    // it. A moment before the last time given keeps that one: the times never go back.
    void restartAt(double seconds);
    // Where the next piece's spread begins.
    double anchor() const { return m_anchor; }

  private:
    double m_anchor;
};

} // namespace analysis
