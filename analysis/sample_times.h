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

} // namespace analysis
