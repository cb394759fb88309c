// Items from the board: one acquisition, and a stream of blocks. Both read with the capture's
// item reader, which can stop after any item and give a wait up: Ctrl-C ends the read at once,
// and what the board still sends of the request is owed and read off before the next call.

#include "board.h"

#include "acquisition/acquisition_messages.h"
#include "acquisition/event_cadence.h"
#include "link/frames.h"
#include "link/item_reader.h"
#include "link/protocol.h"

namespace pellorin_py {

namespace {
void Request(BoardLink &link, int count) {
    if (const int result = RequestItems(link, count))
        throw Exchange(acquisition_message::SendCommandFailed().text, result);
}
} // namespace

// Reads the count items of the request just sent; firstIndex numbers them in messages. Returns
// with fewer items only when Ctrl-C stopped it.
std::vector<int32_t> Board::acquireItems(int count, Interrupt &interrupt, int64_t firstIndex) {
    items::ItemReader reader(
        link(), [&interrupt] { return interrupt.check(); }, items::Clock::now(), kReadGatherMs,
        [&interrupt] { return interrupt.whileWaiting(); });
    reader.begin(count);
    std::vector<int32_t> codes;
    codes.reserve(static_cast<size_t>(count));
    m_arrivals.clear();
    m_arrivals.reserve(static_cast<size_t>(count));
    items::ItemsRead read;
    // Pieces a check interval long: items in hand wait no longer than that for more, and a
    // board that falls silent is waited on by the link's own time limit.
    do {
        read = reader.readPiece(items::Clock::now() + Interrupt::kCheckInterval, codes, m_arrivals,
                                {});
    } while (!read.complete && !read.stopped && read.result == 0 && read.badItem < 0 &&
             !interrupt.check());
    // What the board still sends of the request is owed to the link.
    link().setOwedBytes(reader.bytesLeft());
    if (interrupt.caught())
        return codes;
    const int64_t taken = static_cast<int64_t>(codes.size());
    if (read.badItem >= 0) {
        throw Checksum(acquisition_message::ItemChecksumInvalid(firstIndex + taken).text,
                       firstIndex + taken, std::move(codes));
    }
    if (read.result != 0)
        throw Exchange(acquisition_message::GetItemFailed(firstIndex + taken).text, read.result);
    return codes;
}

std::vector<int32_t> Board::acquire(int count, Interrupt &interrupt) {
    if (count < 1 || count > kMaxItemsPerRequest)
        throw Value(QStringLiteral("count must be a number from 1 to %1").arg(kMaxItemsPerRequest));
    begin(interrupt);
    // As the window does before every acquisition: the chip's registers are read again (the
    // facts follow them), and a failure does not stop the acquisition.
    refreshImage(interrupt, false);
    Request(link(), count);
    return acquireItems(count, interrupt, 0);
}

int Board::beginStream(Interrupt &interrupt) {
    begin(interrupt);
    refreshImage(interrupt, false);
    return m_streamToken;
}

std::vector<int32_t> Board::nextBlock(int token, int blockItems, int64_t firstIndex, bool last,
                                      Interrupt &interrupt) {
    interrupt.holdForCall(m_callMutex);
    if (!m_open || token != m_streamToken || !openedHere())
        throw State(QStringLiteral("the stream has ended: another call was made on the board"));
    if (std::this_thread::get_id() != m_thread)
        throw State(QStringLiteral("a Board is used from the thread that opened it"));
    if (!m_streamRequested) {
        settle(interrupt);
        Request(link(), blockItems);
    }
    m_streamRequested = false;
    // A fault or a stop ends the stream; the token tells the next call.
    ++m_streamToken;
    std::vector<int32_t> codes = acquireItems(blockItems, interrupt, firstIndex);
    if (static_cast<int>(codes.size()) < blockItems || last || interrupt.caught())
        return codes;
    // The next block is asked for before the script sees this one: the board streams on.
    Request(link(), blockItems);
    link().setOwedBytes(static_cast<int64_t>(blockItems) * kItemSize);
    m_streamRequested = true;
    m_streamToken = token;
    return codes;
}

} // namespace pellorin_py
