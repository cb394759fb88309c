#include "transfer.h"

#include "acquisition_messages.h"
#include "samples.h"

#include "link/frames.h"
#include "link/protocol.h"
#include "link/result_codes.h"
#include "link/serial_transport.h"

#include <cstddef>

namespace {
// Keeps the progress bar from being touched for every item: a full request moves it 100 times.
class Progress {
  public:
    explicit Progress(const std::function<void(int)> &set) : m_set(set) {}
    void show(int percent) {
        if (percent == m_shown)
            return;
        m_shown = percent;
        if (m_set)
            m_set(percent);
    }

  private:
    const std::function<void(int)> &m_set;
    int m_shown = -1;
};
} // namespace

int TransferSamples(uint8_t *items, int count, const TransferHooks &hooks) {
    if (count < 1 || count > kMaxItemsPerRequest)
        return result::kBadReply;
    Progress progress(hooks.setProgress);
    progress.show(0);

    const CommandFrame frame = BuildAcquisitionFrame(g_chipId, static_cast<uint16_t>(count));
    const int sent = WriteFrame(frame.data(), kWriteWaitMs);
    if (sent != result::kOk) {
        acquisition_message::Tell(hooks.owner, acquisition_message::SendCommandFailed());
        return sent;
    }

    EventCadence events(hooks.pumpEvents, hooks.pumpIntervalMs);
    for (int i = 0; i < count; ++i) {
        const int read = ReadBytesWaiting(
            items + static_cast<size_t>(i) * kItemSize, kItemSize,
            [&events] { return events.waiting(); }, hooks.gatherMs);
        if (read != result::kOk) {
            acquisition_message::Tell(hooks.owner, acquisition_message::GetItemFailed(i));
            progress.show(0);
            return read;
        }
        progress.show(static_cast<int>(100LL * (i + 1) / count));
        if (i + 1 < count)
            events.item();
    }
    events.now();
    progress.show(100);

    int status = result::kOk;
    const int bad = FirstBadItem(items, count);
    if (bad >= 0) {
        acquisition_message::Tell(hooks.owner, acquisition_message::ItemChecksumInvalid(bad));
        status = result::kBadReply;
    }
    progress.show(0);
    return status;
}
