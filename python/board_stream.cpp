// Items from the board: one acquisition, and a stream of blocks. Both read with the capture's
// item reader, which can stop after any item: Ctrl-C ends the read at once, and what the board
// still sends of the request is owed and read off before the next call.

#include "board.h"

#include "acquisition/acquisition_messages.h"
#include "acquisition/event_cadence.h"
#include "capture/item_stream.h"
#include "link/frames.h"

namespace pellorin_py {

namespace {
void Request(int count) {
    if (const int result = capture::RequestItems(count))
        throw Exchange(acquisition_message::SendCommandFailed().text, result);
}
} // namespace

// Reads the count items of the request just sent; firstIndex numbers them in messages. Returns
// with fewer items only when Ctrl-C stopped it.
int Board::acquireItems(int count, int32_t *codes, Interrupt &interrupt, int64_t firstIndex) {
    EventCadence events([&interrupt] { interrupt.check(); });
    capture::ItemReader reader(
        events, [&interrupt] { return interrupt.check(); }, capture::Clock::now(), kReadGatherMs);
    m_seconds.resize(static_cast<size_t>(count));
    const capture::ItemsRead read = reader.read(count, codes, m_seconds.data(), {});
    m_owedBytes = read.bytesLeft;
    if (read.badItem >= 0) {
        throw Checksum(acquisition_message::ItemChecksumInvalid(firstIndex + read.badItem).text,
                       firstIndex + read.badItem, std::vector<int32_t>(codes, codes + read.items));
    }
    if (read.result != 0) {
        throw Exchange(acquisition_message::GetItemFailed(firstIndex + read.items).text,
                       read.result);
    }
    return read.items;
}

void Board::acquire(int count, int32_t *codes, Interrupt &interrupt) {
    if (count < 1 || count > 65535)
        throw Value(QStringLiteral("count must be a number from 1 to 65535"));
    begin(interrupt);
    // As the window does before every acquisition: the chip's registers are read again (the
    // facts follow them), and a failure does not stop the acquisition.
    refreshImage(interrupt, false);
    Request(count);
    m_owedBytes = static_cast<int64_t>(count) * kItemSize;
    acquireItems(count, codes, interrupt, 0);
}

int Board::beginStream(Interrupt &interrupt) {
    begin(interrupt);
    refreshImage(interrupt, false);
    return m_streamToken;
}

void Board::nextBlock(int token, int blockItems, int32_t *codes, int64_t firstIndex, bool last,
                      Interrupt &interrupt) {
    if (!m_open || token != m_streamToken)
        throw State(QStringLiteral("the stream has ended: another call was made on the board"));
    if (std::this_thread::get_id() != m_thread)
        throw State(QStringLiteral("a Board is used from the thread that opened it"));
    if (!m_streamRequested) {
        settle(interrupt);
        Request(blockItems);
        m_owedBytes += static_cast<int64_t>(blockItems) * kItemSize;
    }
    m_streamRequested = false;
    // A fault or a stop ends the stream; the token tells the next call.
    ++m_streamToken;
    const int items = acquireItems(blockItems, codes, interrupt, firstIndex);
    if (items < blockItems || last)
        return;
    // The next block is asked for before the script sees this one: the board streams on.
    Request(blockItems);
    m_owedBytes += static_cast<int64_t>(blockItems) * kItemSize;
    m_streamRequested = true;
    m_streamToken = token;
}

} // namespace pellorin_py
