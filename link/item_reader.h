#pragma once
// The one reader of every item stream (the one-shot acquisition, the capture, the scan, Python):
// the request's items read in bulk from a link, whatever has arrived taken at once and split into
// items, each checked as it comes. A caller reads a piece at a time (a capture writes each piece
// while the board streams on), may stop after any item, and knows to the byte what the board
// still owes; the link takes that off the line before its next exchange.

#include "serial_transport.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class BoardLink;

namespace items {

using Clock = std::chrono::steady_clock;

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
    ItemReader(BoardLink &link, std::function<bool()> stop, Clock::time_point start, int gatherMs,
               ReadWaitHook whileWaiting = {});

    // The request for count items has just been sent. raw (may be null): count * 4 bytes that
    // receive each good item as it came off the line, in request order.
    void begin(int count, uint8_t *raw = nullptr);
    // Good items taken of the request so far.
    int itemsTaken() const { return m_itemsTaken; }
    // Reads on until the request's items are all in, `until` has passed with items of this call
    // in hand (they wait no longer for more), stop() says so after an item, or a fault. Appends
    // the good items to codes and, for each, the seconds since start at which its read
    // returned to arrivals.
    ItemsRead readPiece(Clock::time_point until, std::vector<int32_t> &codes,
                        std::vector<double> &arrivals, const OnRead &onRead);
    // What the board will still send of the request (nothing after a failure of the line; all
    // it did not read after a read given up by its wait hook), exact to the byte.
    int64_t bytesLeft() const { return m_failed ? 0 : m_total - m_taken; }

    // Tells the link what the board still owes of this request (after a stop, a bad item or a
    // read given up): its next exchange takes it off the line first.
    void leaveOwed() const;
    // Reads and throws away what the board still sends of this request; ends early on silence,
    // a failure, a read given up or when abort() says so. Calls progress with the bytes left
    // after each read; what is left is owed to the link.
    void drain(const std::function<bool()> &abort, const std::function<void(int64_t)> &progress);

  private:
    // One read takes at most this much: a fraction of a second of the wire.
    static constexpr uint32_t kChunkBytes = 4096;

    BoardLink &m_link;
    std::function<bool()> m_stop;
    Clock::time_point m_start;
    int m_gatherMs;
    ReadWaitHook m_whileWaiting;
    uint8_t *m_raw = nullptr;
    int m_count = 0;
    int m_itemsTaken = 0;
    int64_t m_total = 0; // bytes of the request
    int64_t m_taken = 0; // bytes of it read off the line
    bool m_failed = false;
    bool m_trickle = false;
    std::array<uint8_t, kChunkBytes + 4> m_buffer{};
    uint32_t m_held = 0; // bytes of an item not complete yet, at the buffer's start
};

} // namespace items
