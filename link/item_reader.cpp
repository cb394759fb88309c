#include "item_reader.h"

#include "board_link.h"
#include "frames.h"
#include "result_codes.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace items {
namespace {
// A read that brings less than this is a trickle: the wire's pace, not a backlog.
constexpr uint32_t kTrickleBytes = 256;
} // namespace

ItemReader::ItemReader(BoardLink &link, std::function<bool()> stop, Clock::time_point start,
                       int gatherMs, ReadWaitHook whileWaiting)
    : m_link(link), m_stop(std::move(stop)), m_start(start), m_gatherMs(gatherMs),
      m_whileWaiting(std::move(whileWaiting)) {}

void ItemReader::begin(int count, uint8_t *raw) {
    m_raw = raw;
    m_count = count;
    m_itemsTaken = 0;
    m_total = static_cast<int64_t>(count) * kItemSize;
    m_taken = 0;
    m_failed = false;
    m_held = 0;
    // A request's first read waits for its first item as it comes.
    m_trickle = false;
}

ItemsRead ItemReader::readPiece(Clock::time_point until, std::vector<int32_t> &codes,
                                std::vector<double> &arrivals, const OnRead &onRead) {
    ItemsRead outcome;
    while (m_itemsTaken < m_count) {
        // Only a trickle is gathered: while reads come back full, the stream outruns the
        // program and a rest would only fill the driver's buffer.
        int gatherMs = m_trickle ? m_gatherMs : 0;
        if (outcome.items > 0) {
            // Items in hand wait for more only until the piece is due: a board that paused
            // does not keep them from the disk.
            const auto left = [&until] {
                return static_cast<int>(
                    std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count());
            };
            if (left() <= 0)
                break;
            if (gatherMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(std::min(gatherMs, left())));
            gatherMs = 0;
            if (!m_link.waitForBytes(std::max(0, left())))
                break;
        }
        // m_held < kItemSize here: complete items have been taken out.
        const uint32_t room =
            static_cast<uint32_t>(std::min<int64_t>(kChunkBytes, m_total - m_taken));
        uint32_t got = 0;
        const int result = m_link.readAvailable(m_buffer.data() + m_held, kItemSize - m_held, room,
                                                got, m_whileWaiting, gatherMs);
        m_trickle = got < kTrickleBytes;
        m_taken += got;
        m_held += got;
        if (result != result::kOk) {
            outcome.result = result;
            // A read the program gave up (kAborted) is no fault of the line: the board still
            // sends the rest, and bytesLeft() says how much.
            m_failed = result != result::kAborted;
            break;
        }
        const double now = std::chrono::duration<double>(Clock::now() - m_start).count();
        const size_t first = codes.size();
        uint32_t at = 0;
        for (; at + kItemSize <= m_held; at += kItemSize) {
            const uint8_t *item = m_buffer.data() + at;
            if (!ItemChecksumOk(item)) {
                outcome.badItem = outcome.items;
                break;
            }
            if (m_raw)
                std::memcpy(m_raw + static_cast<size_t>(m_itemsTaken) * kItemSize, item, kItemSize);
            codes.push_back(ItemValue(item));
            arrivals.push_back(now);
            ++outcome.items;
            ++m_itemsTaken;
            if (m_stop && m_stop()) {
                outcome.stopped = m_itemsTaken < m_count;
                at += kItemSize;
                break;
            }
        }
        // Full: the read stopped at its room while more of the request was still to come.
        const bool full = got == room && m_taken < m_total;
        if (onRead && codes.size() > first)
            onRead(now, std::span<const int32_t>(codes.data() + first, codes.size() - first), full);
        if (outcome.badItem >= 0 || outcome.stopped)
            break;
        m_held -= at;
        std::memmove(m_buffer.data(), m_buffer.data() + at, m_held);
    }
    outcome.complete = m_itemsTaken == m_count;
    return outcome;
}

void ItemReader::leaveOwed() const {
    m_link.setOwedBytes(bytesLeft());
}

void ItemReader::drain(const std::function<bool()> &abort,
                       const std::function<void(int64_t)> &progress) {
    int64_t bytes = bytesLeft();
    std::array<uint8_t, kChunkBytes> buffer{};
    while (bytes > 0 && !(abort && abort())) {
        const uint32_t want = static_cast<uint32_t>(std::min<int64_t>(kChunkBytes, bytes));
        uint32_t got = 0;
        const int result =
            m_link.readAvailable(buffer.data(), 1, want, got, m_whileWaiting, m_gatherMs);
        bytes -= got;
        if (progress)
            progress(bytes);
        if (result == result::kAborted)
            break;
        if (result != result::kOk) {
            bytes = 0; // silence or a lost line: nothing more comes
            break;
        }
    }
    m_taken = m_total - bytes;
    m_link.setOwedBytes(bytes);
}

} // namespace items
