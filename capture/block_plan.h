#pragma once
// How many items each request of a capture asks for. A block is sized by time, not by the
// wire: about one second of conversions at the rate they reach the program (the chip's
// nominal rate, or the wire's 2880 items a second when the chip converts faster), so that a
// stop, a duration or a split never waits long for a block's end at 2.5 SPS, and the requests
// at 30000 SPS stay few.

#include <cstdint>

namespace capture {

// Items a second reaching the program: the chip's nominal rate, at most the wire's; the wire's
// when the rate is not known (0).
double DeliveredRate(double nominalSps);
// One conversion period as the program sees it: the longer of the chip's and the wire's.
double ConversionPeriod(double nominalSps);
// The conversions of `seconds` as they reach the program (DeliveredRate): at least 1, at most
// one request's 65535. Every stream sizes its blocks by it: the capture, Python's stream.
int BlockItemsFor(double seconds, double nominalSps);
// About one second of conversions.
int DefaultBlockItems(double nominalSps);

// The items of the next request: the block, cut to the samples still wanted (samplesLeft < 0:
// no such limit) and to what itemsPerSecond deliver in the seconds left before a duration ends
// or a split is due (secondsLeft < 0: no such time), at least 1 while samples are wanted.
// 0 when no sample is wanted any more.
int NextRequestCount(int blockItems, int64_t samplesLeft, double secondsLeft,
                     double itemsPerSecond);

} // namespace capture
