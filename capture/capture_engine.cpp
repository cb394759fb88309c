#include "capture_engine.h"

#include "acquisition/acquisition_messages.h"
#include "file_names.h"
#include "platform/busy_flags.h"

#include "link/frames.h"
#include "platform/message_service.h"

#include <QDateTime>

#include <algorithm>

namespace capture {

double DeadTime(double lastItemSeconds, double nextFirstItemSeconds, double writeSeconds) {
    return std::max(0.0, nextFirstItemSeconds - lastItemSeconds - writeSeconds);
}

CaptureEngine::CaptureEngine(CaptureSettings settings, CaptureFacts facts, CaptureHooks hooks)
    : m_settings(std::move(settings)), m_facts(std::move(facts)), m_hooks(std::move(hooks)) {
    m_settings.blockItems = std::clamp(m_settings.blockItems, 1, kMaxBlockItems);
}

CaptureEngine::~CaptureEngine() = default;

void CaptureEngine::requestStop(const QString &reason) {
    if (m_stopReason.isEmpty())
        m_stopReason = reason;
}

double CaptureEngine::elapsed() const {
    return std::chrono::duration<double>(Clock::now() - m_start).count();
}

bool CaptureEngine::stopDue(double seconds) {
    if (m_stopReason.isEmpty() && m_hooks.stopRequested && m_hooks.stopRequested())
        m_stopReason = QStringLiteral("user");
    if (m_stopReason.isEmpty() && m_settings.stop == StopRule::Duration &&
        seconds * 1000.0 >= static_cast<double>(m_settings.durationMs))
        m_stopReason = QStringLiteral("duration");
    return !m_stopReason.isEmpty();
}

int CaptureEngine::nextCount() const {
    if (m_settings.stop != StopRule::Samples)
        return m_settings.blockItems;
    const int64_t left = m_settings.samples - m_progress.samplesReceived;
    return static_cast<int>(std::min<int64_t>(left, m_settings.blockItems));
}

bool CaptureEngine::sendRequest(Block &block, int count) {
    block.count = count;
    block.stamp.firstSample = static_cast<uint64_t>(m_progress.samplesReceived);
    block.stamp.wallSeconds = QDateTime::currentMSecsSinceEpoch() / 1000.0;
    block.stamp.monotonicSeconds = elapsed();
    return RequestItems(count) == 0;
}

bool CaptureEngine::openPart(uint64_t firstSample) {
    const bool split = m_settings.splitMs > 0;
    const int number = m_progress.files + 1;
    const QString path = PartPath(m_settings.path, number, split);
    m_partStart = Clock::now();
    m_progress.filePath = path;
    m_progress.fileBytes = 0;
    if (!m_writer->create(path, m_facts, FilePart{number, firstSample}, m_settings.force))
        return false;
    m_progress.files = number;
    m_progress.fileBytes = m_writer->fileBytes();
    return true;
}

bool CaptureEngine::writeBlock(const Block &block, int items, double &writeSeconds) {
    writeSeconds = 0.0;
    if (items == 0)
        return true;
    const auto before = Clock::now();
    const bool ok = m_writer->appendBlock(
        block.stamp, std::span<const int32_t>(block.codes.data(), static_cast<size_t>(items)),
        std::span<const double>(block.seconds.data(), static_cast<size_t>(items)));
    writeSeconds = std::chrono::duration<double>(Clock::now() - before).count();
    if (!ok)
        return false;
    m_progress.samplesWritten += items;
    m_progress.fileBytes = m_writer->fileBytes();
    ++m_progress.blocks;
    const BlockFigures figures =
        FiguresOf(std::span<const int32_t>(block.codes.data(), static_cast<size_t>(items)));
    m_progress.lastBlock = figures;
    m_progress.haveBlock = true;
    m_progress.drift.add((block.seconds.front() + block.seconds[items - 1]) / 2.0, figures.mean);
    return true;
}

bool CaptureEngine::finishPart(const QString &stoppedBy) {
    return m_writer->finish(stoppedBy);
}

void CaptureEngine::drain(int64_t bytes) {
    if (bytes <= 0)
        return;
    m_progress.stopping = true;
    m_progress.drainItemsLeft = bytes / kItemSize;
    m_reader->drain(bytes, m_hooks.abortDrain,
                    [this](int64_t itemsLeft) { m_progress.drainItemsLeft = itemsLeft; });
    m_progress.drainItemsLeft = 0;
}

CaptureResult CaptureEngine::end(CaptureStatus status, const QString &stoppedBy, int linkResult) {
    CaptureResult result;
    result.status = status;
    result.stoppedBy = stoppedBy;
    result.linkResult = linkResult;
    result.samples = m_progress.samplesWritten;
    result.seconds = elapsed();
    result.blocks = m_progress.blocks;
    result.files = m_progress.files;
    result.deadSeconds = m_progress.deadSeconds;
    result.longestDeadSeconds = m_progress.longestDeadSeconds;
    m_progress.elapsedSeconds = result.seconds;
    m_progress.stopping = false;
    m_running = false;
    if (status != CaptureStatus::Ok)
        platform::ShowMessage(m_hooks.owner, stoppedBy, QStringLiteral("Error !"));
    return result;
}

CaptureResult CaptureEngine::run() {
    // The capture counts as an acquisition: while it runs, the panels' Write and Read and
    // "Start get ADC data" are refused as during one.
    const BusyGuard busy(g_acquiring, {&g_registerBusy, &g_calibrating});
    if (!busy) {
        CaptureResult refused;
        refused.status = CaptureStatus::Busy;
        refused.stoppedBy = QStringLiteral("busy");
        return refused;
    }
    m_running = true;
    m_progress = CaptureProgress{};
    m_start = Clock::now();
    m_writer = MakeWriter(m_settings.format);
    m_events = std::make_unique<EventCadence>(m_hooks.pumpEvents, m_hooks.pumpIntervalMs);
    m_reader = std::make_unique<ItemReader>(
        *m_events, [this] { return stopDue(elapsed()); }, m_start, m_hooks.gatherMs);
    if (!openPart(0))
        return end(CaptureStatus::File, m_writer->errorText());

    Block blocks[2];
    for (Block &block : blocks) {
        block.codes.resize(static_cast<size_t>(m_settings.blockItems));
        block.seconds.resize(static_cast<size_t>(m_settings.blockItems));
    }
    int current = 0;
    double lastItemSeconds = 0.0, lastWriteSeconds = 0.0;
    const QString sendFailed = acquisition_message::SendCommandFailed().text;
    if (nextCount() < 1 || stopDue(0.0)) {
        const QString reason = m_stopReason.isEmpty() ? QStringLiteral("samples") : m_stopReason;
        finishPart(reason);
        return end(CaptureStatus::Ok, reason);
    }
    if (!sendRequest(blocks[current], nextCount())) {
        finishPart(sendFailed);
        return end(CaptureStatus::Exchange, sendFailed, 6);
    }

    for (;;) {
        Block &block = blocks[current];
        const int64_t firstIndex = m_progress.samplesReceived;
        const ItemsRead read = m_reader->read(block.count, block.codes.data(), block.seconds.data(),
                                              [this](int32_t code) {
                                                  ++m_progress.samplesReceived;
                                                  if (m_hooks.onSample)
                                                      m_hooks.onSample(code);
                                              });
        m_progress.elapsedSeconds = elapsed();
        if (read.items > 0 && m_progress.blocks > 0) {
            const double dead = DeadTime(lastItemSeconds, block.seconds[0], lastWriteSeconds);
            m_progress.deadSeconds += dead;
            m_progress.longestDeadSeconds = std::max(m_progress.longestDeadSeconds, dead);
        }

        if (read.items < block.count) {
            // Stopped, or a fault: what arrived in good order is kept, nothing after it.
            QString reason = m_stopReason;
            CaptureStatus status = CaptureStatus::Ok;
            if (read.badItem >= 0) {
                reason = acquisition_message::ItemChecksumInvalid(firstIndex + read.badItem).text;
                status = CaptureStatus::ItemChecksum;
            } else if (read.result != 0) {
                reason = acquisition_message::GetItemFailed(firstIndex + read.items).text;
                status = CaptureStatus::Exchange;
            }
            double writeSeconds = 0.0;
            if (!writeBlock(block, read.items, writeSeconds)) {
                status = CaptureStatus::File;
                reason = m_writer->errorText();
            }
            finishPart(reason);
            if (read.result == 0)
                drain(read.bytesLeft);
            return end(status, reason, read.result);
        }

        lastItemSeconds = block.seconds[block.count - 1];
        const bool more = !stopDue(lastItemSeconds) && nextCount() > 0;
        Block &next = blocks[1 - current];
        bool sent = true;
        if (more)
            sent = sendRequest(next, nextCount());
        if (!writeBlock(block, block.count, lastWriteSeconds)) {
            const QString reason = m_writer->errorText();
            finishPart(reason);
            if (more && sent)
                drain(static_cast<int64_t>(next.count) * kItemSize);
            return end(CaptureStatus::File, reason);
        }
        if (!more) {
            const QString reason =
                m_stopReason.isEmpty() ? QStringLiteral("samples") : m_stopReason;
            if (!finishPart(reason))
                return end(CaptureStatus::File, m_writer->errorText());
            return end(CaptureStatus::Ok, reason);
        }
        if (!sent) {
            finishPart(sendFailed);
            return end(CaptureStatus::Exchange, sendFailed, 6);
        }
        const bool splitDue =
            m_settings.splitMs > 0 &&
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_partStart)
                    .count() >= m_settings.splitMs;
        if (splitDue) {
            const bool closed = finishPart(QStringLiteral("split"));
            if (!closed || !openPart(next.stamp.firstSample)) {
                const QString reason = m_writer->errorText();
                drain(static_cast<int64_t>(next.count) * kItemSize);
                return end(CaptureStatus::File, reason);
            }
        }
        current = 1 - current;
    }
}

} // namespace capture
