#pragma once
// The acquisition request and its item stream, read in bulk: whatever has arrived is taken at
// once and split into items. The pieces a capture is built from: ask for N items, read them a
// piece at a time (the caller writes each piece while the board streams on), stop after any
// item, and drain what the board still sends after a stop so the next exchange meets a quiet
// line.

#include "link/serial_transport.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace capture {

using Clock = std::chrono::steady_clock;

// Sends the request for count items (1 to 65535) for g_chipId; 0 or the link's failure code.
int RequestItems(int count);

struct ItemsRead {
    int items = 0;         // good items taken by this call, in order
    int result = 0;        // the link's failure code, 0 when none
    int badItem = -1;      // index (in this call) of the first item with a wrong checksum
    bool stopped = false;  // stop() said so after an item, before the request's last
    bool complete = false; // every item of the request is in
};

class ItemReader {
  public:
    // After each read that brought items: when it returned (seconds since start), its items,
    // and whether it took all it could (more was waiting).
    using OnRead = std::function<void(double seconds, std::span<const int32_t> codes, bool full)>;

    // stop is asked after every item. whileWaiting (may be empty) runs while a read waits; see
    // ReadAvailableWaiting, as for gatherMs.
    ItemReader(std::function<bool()> stop, Clock::time_point start, int gatherMs,
               ReadWaitHook whileWaiting = {});

    // The request for count items has just been sent.
    void begin(int count);
    // Reads on until the request's items are all in, `until` has passed with items of this call
    // in hand (they wait no longer for more), stop() says so after an item, or a fault. Appends
    // the good items to codes and, for each, the seconds since start at which its read
    // returned to arrivals.
    ItemsRead readPiece(Clock::time_point until, std::vector<int32_t> &codes,
                        std::vector<double> &arrivals, const OnRead &onRead);
    // What the board will still send of the request (nothing after a failure of the line; all
    // it did not read after a read given up by its wait hook), exact to the byte.
    int64_t bytesLeft() const { return m_failed ? 0 : m_total - m_taken; }

    // Reads and throws away bytes the board still sends; ends early on silence, a failure, a
    // read given up or when abort() says so. Calls progress with the bytes left after each read,
    // so a caller that stops it knows what is still owed, exact to the byte.
    void drain(int64_t bytes, const std::function<bool()> &abort,
               const std::function<void(int64_t)> &progress);

  private:
    // One read takes at most this much: a fraction of a second of the wire.
    static constexpr uint32_t kChunkBytes = 4096;

    std::function<bool()> m_stop;
    Clock::time_point m_start;
    int m_gatherMs;
    ReadWaitHook m_whileWaiting;
    int m_count = 0;
    int m_itemsTaken = 0;
    int64_t m_total = 0; // bytes of the request
    int64_t m_taken = 0; // bytes of it read off the line
    bool m_failed = false;
    bool m_trickle = false;
    std::array<uint8_t, kChunkBytes + 4> m_buffer{};
    uint32_t m_held = 0; // bytes of an item not complete yet, at the buffer's start
};

} // namespace capture
