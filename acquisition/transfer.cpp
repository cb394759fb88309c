#include "transfer.h"

#include "acquisition_messages.h"
#include "samples.h"

#include "link/frames.h"
#include "link/protocol.h"
#include "link/result_codes.h"
#include "link/serial_transport.h"

#include <cstddef>

namespace {
// How often a read waiting for its item looks at the abort flag: a detection waits no longer.
constexpr int kAbortLookMs = 10;

// Keeps the progress bar from being touched for every item: 65535 items move it 100 times.
void show(const TransferHooks &hooks, TransferReport &report, int percent) {
    if (percent == report.shown)
        return;
    report.shown = percent;
    if (hooks.setProgress)
        hooks.setProgress(percent);
}
} // namespace

TransferReport ReceiveItems(uint8_t *items, int count, const TransferHooks &hooks) {
    TransferReport report;
    if (count < 1 || count > kMaxItemsPerRequest) {
        report.status = result::kBadReply;
        return report;
    }
    show(hooks, report, 0);

    const CommandFrame frame = BuildAcquisitionFrame(g_chipId, static_cast<uint16_t>(count));
    report.status = WriteFrame(frame.data(), kWriteWaitMs);
    if (report.status != result::kOk) {
        report.end = TransferReport::End::SendFailed;
        return report;
    }

    ReadWaitHook abortable;
    if (hooks.abort) {
        abortable = [abort = hooks.abort] {
            return abort->load(std::memory_order_relaxed) ? kEndRead : kAbortLookMs;
        };
    }
    for (int i = 0; i < count; ++i) {
        report.status = ReadBytesWaiting(items + static_cast<size_t>(i) * kItemSize, kItemSize,
                                         abortable, hooks.gatherMs);
        if (report.status != result::kOk) {
            report.end = TransferReport::End::ItemFailed;
            report.item = i;
            return report;
        }
        show(hooks, report, static_cast<int>(100LL * (i + 1) / count));
    }
    show(hooks, report, 100);

    report.item = FirstBadItem(items, count);
    if (report.item >= 0) {
        report.end = TransferReport::End::BadChecksum;
        report.status = result::kBadReply;
    }
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

int TransferSamples(uint8_t *items, int count, const TransferHooks &hooks) {
    return TellTransferEnd(ReceiveItems(items, count, hooks), hooks);
}
