#include "transfer.h"

#include "acquisition_messages.h"

#include "link/board_link.h"
#include "link/frames.h"
#include "link/item_reader.h"
#include "link/protocol.h"
#include "link/result_codes.h"

#include <vector>

namespace {
// How often a read waiting for its items looks at the abort flag: a detection waits no longer.
constexpr int kAbortLookMs = 10;
constexpr std::chrono::milliseconds kPieceTime{100};

// Keeps the progress bar from being touched for every item: 65535 items move it 100 times. A
// read that brings many items still steps the bar through every percent on the way.
void show(const TransferHooks &hooks, TransferReport &report, int percent) {
    if (percent == report.shown)
        return;
    const int from = report.shown < 0 || percent < report.shown ? percent : report.shown + 1;
    report.shown = percent;
    if (!hooks.setProgress)
        return;
    for (int value = from; value <= percent; ++value)
        hooks.setProgress(value);
}
} // namespace

TransferReport ReceiveItems(BoardLink &link, uint8_t *items, int count,
                            const TransferHooks &hooks) {
    TransferReport report;
    if (count < 1 || count > kMaxItemsPerRequest) {
        report.status = result::kBadReply;
        return report;
    }
    show(hooks, report, 0);

    report.status = RequestItems(link, count);
    if (report.status != result::kOk) {
        report.end = TransferReport::End::SendFailed;
        return report;
    }

    const std::atomic<bool> *abort = hooks.abort;
    ReadWaitHook abortable;
    if (abort) {
        abortable = [abort] {
            return abort->load(std::memory_order_relaxed) ? kEndRead : kAbortLookMs;
        };
    }
    items::ItemReader reader(link, {}, items::Clock::now(), hooks.gatherMs, abortable);
    reader.begin(count, items);
    std::vector<int32_t> codes;
    std::vector<double> arrivals;
    codes.reserve(static_cast<size_t>(count));
    arrivals.reserve(static_cast<size_t>(count));
    const auto onRead = [&](double, std::span<const int32_t>, bool) {
        show(hooks, report, static_cast<int>(100LL * reader.itemsTaken() / count));
    };
    items::ItemsRead read;
    do {
        // Items in hand wait at most a piece's time for more; a board that falls silent is
        // then waited on by the link's own time limit.
        read = reader.readPiece(items::Clock::now() + kPieceTime, codes, arrivals, onRead);
    } while (!read.complete && read.result == result::kOk && read.badItem < 0);

    if (read.badItem >= 0) {
        // The rest of the request still comes: taken now, so the line is quiet after it.
        report.end = TransferReport::End::BadChecksum;
        report.status = result::kBadReply;
        report.item = reader.itemsTaken();
        reader.drain([abort] { return abort && abort->load(std::memory_order_relaxed); }, {});
        return report;
    }
    if (read.result != result::kOk) {
        report.end = TransferReport::End::ItemFailed;
        report.status = read.result;
        report.item = reader.itemsTaken();
        // A read given up leaves the rest owed to the link, which takes it before its next
        // exchange or forgets it when it closes.
        reader.leaveOwed();
        return report;
    }
    show(hooks, report, 100);
    return report;
}

int TellTransferEnd(const TransferReport &report, const TransferHooks &hooks) {
    switch (report.end) {
    case TransferReport::End::Received:
        break;
    case TransferReport::End::SendFailed:
        acquisition_message::Tell(hooks.owner, acquisition_message::SendCommandFailed());
        break;
    case TransferReport::End::ItemFailed:
        acquisition_message::Tell(hooks.owner, acquisition_message::GetItemFailed(report.item));
        break;
    case TransferReport::End::BadChecksum:
        acquisition_message::Tell(hooks.owner,
                                  acquisition_message::ItemChecksumInvalid(report.item));
        break;
    }
    if (report.shown > 0 && hooks.setProgress)
        hooks.setProgress(0);
    return report.status;
}

int TransferSamples(BoardLink &link, uint8_t *items, int count, const TransferHooks &hooks) {
    return TellTransferEnd(ReceiveItems(link, items, count, hooks), hooks);
}
