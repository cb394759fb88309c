#include "item_stream.h"

#include "link/frames.h"
#include "link/protocol.h"
#include "link/result_codes.h"
#include "link/serial_transport.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace capture {
namespace {
// One read takes at most this much: a few milliseconds of the wire, so events keep their pace.
constexpr uint32_t kChunkBytes = 4096;
// A read that brings less than this is a trickle: the wire's pace, not a backlog.
constexpr uint32_t kTrickleBytes = 256;
} // namespace

int RequestItems(int count) {
    const CommandFrame frame = BuildAcquisitionFrame(g_chipId, static_cast<uint16_t>(count));
    return WriteFrame(frame.data(), kWriteWaitMs);
}

ItemReader::ItemReader(EventCadence &events, std::function<bool()> stop, Clock::time_point start,
                       int gatherMs)
    : m_events(events), m_stop(std::move(stop)), m_start(start), m_gatherMs(gatherMs) {}

ItemsRead ItemReader::read(int count, int32_t *codes, double *seconds,
                           const std::function<void(int32_t)> &onItem) {
    ItemsRead outcome;
    const int64_t total = static_cast<int64_t>(count) * kItemSize;
    int64_t taken = 0; // bytes of the stream read so far
    std::array<uint8_t, kChunkBytes + kItemSize> buffer{};
    uint32_t held = 0; // bytes of an item not complete yet, at the buffer's start
    // Only a trickle is gathered: while reads come back full, the stream outruns the program
    // and a rest would only leave the line idle. A block's first read waits for its first item
    // as it comes.
    bool trickle = false;
    while (outcome.items < count) {
        // held < kItemSize here: complete items have been taken out.
        const uint32_t room = static_cast<uint32_t>(std::min<int64_t>(kChunkBytes, total - taken));
        uint32_t got = 0;
        const int result = ReadAvailableWaiting(
            buffer.data() + held, kItemSize - held, room, got,
            [this] { return m_events.waiting(); }, trickle ? m_gatherMs : 0);
        trickle = got < kTrickleBytes;
        taken += got;
        held += got;
        if (result != result::kOk) {
            outcome.result = result;
            break;
        }
        const double now = std::chrono::duration<double>(Clock::now() - m_start).count();
        uint32_t at = 0;
        for (; at + kItemSize <= held; at += kItemSize) {
            const uint8_t *item = buffer.data() + at;
            if (!ItemChecksumOk(item)) {
                outcome.badItem = outcome.items;
                break;
            }
            const int32_t code = ItemValue(item);
            codes[outcome.items] = code;
            seconds[outcome.items] = now;
            ++outcome.items;
            if (onItem)
                onItem(code);
            if (m_stop && m_stop()) {
                outcome.stopped = outcome.items < count;
                at += kItemSize;
                break;
            }
        }
        if (outcome.badItem >= 0 || outcome.stopped)
            break;
        held -= at;
        std::memmove(buffer.data(), buffer.data() + at, held);
        if (outcome.items < count)
            m_events.item();
    }
    outcome.bytesLeft = outcome.result == result::kOk ? total - taken : 0;
    return outcome;
}

void ItemReader::drain(int64_t bytes, const std::function<bool()> &abort,
                       const std::function<void(int64_t)> &progress) {
    std::array<uint8_t, kChunkBytes> buffer{};
    while (bytes > 0 && !(abort && abort())) {
        const uint32_t want = static_cast<uint32_t>(std::min<int64_t>(kChunkBytes, bytes));
        uint32_t got = 0;
        const int result = ReadAvailableWaiting(
            buffer.data(), 1, want, got, [this] { return m_events.waiting(); }, m_gatherMs);
        bytes -= got;
        if (result != result::kOk)
            return; // silence or a lost line: nothing more will come
        if (progress)
            progress(bytes / kItemSize);
        m_events.item();
    }
}

} // namespace capture
