#pragma once
// The acquisition request and its item stream, read in bulk: whatever has arrived is taken at
// once and split into items. The pieces a capture (or a scan of the inputs) is built from: ask
// for N items, read them with the window kept alive, stop after any item, and drain what the
// board still sends after a stop so the next exchange meets a quiet line.

#include "acquisition/event_cadence.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace capture {

using Clock = std::chrono::steady_clock;

// Sends the request for count items (1 to 65535) for g_chipId; 0 or the link's failure code.
int RequestItems(int count);

struct ItemsRead {
    int items = 0;         // good items taken, in order
    int result = 0;        // the link's failure code, 0 when none
    int badItem = -1;      // index of the first item with a wrong checksum (not taken)
    bool stopped = false;  // stop() said so after an item
    int64_t bytesLeft = 0; // what the board will still send of this request
};

class ItemReader {
  public:
    // stop is asked after every item; events run on their cadence while items arrive.
    // gatherMs: see ReadAvailableWaiting.
    ItemReader(EventCadence &events, std::function<bool()> stop, Clock::time_point start,
               int gatherMs);

    // Reads count items of the request just sent: codes[i] and the seconds since start at
    // which item i was taken. onItem runs after each item.
    ItemsRead read(int count, int32_t *codes, double *seconds,
                   const std::function<void(int32_t)> &onItem);

    // Reads and throws away bytes the board still sends; ends early on silence, a failure or
    // when abort() says so. Calls progress with the items left now and then.
    void drain(int64_t bytes, const std::function<bool()> &abort,
               const std::function<void(int64_t)> &progress);

  private:
    EventCadence &m_events;
    std::function<bool()> m_stop;
    Clock::time_point m_start;
    int m_gatherMs;
};

} // namespace capture
