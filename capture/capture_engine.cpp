#include "capture_engine.h"

#include "block_plan.h"
#include "capture_file_format.h"
#include "file_names.h"

#include "acquisition/acquisition_messages.h"
#include "analysis/noise_figures.h"
#include "analysis/sample_times.h"
#include "link/board_session.h"
#include "link/frames.h"
#include "link/protocol.h"

#include <QDateTime>

#include <algorithm>

namespace capture {

QString UtcInstantText(std::chrono::system_clock::time_point instant) {
    using namespace std::chrono;
    const auto micros = duration_cast<microseconds>(instant.time_since_epoch()).count();
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(micros / 1000, Qt::UTC);
    return utc.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.")) +
           QStringLiteral("%1Z").arg(micros % 1000000, 6, 10, QLatin1Char('0'));
}

QString FaultMessage(const CaptureResult &result) {
    const bool fault = result.status != CaptureStatus::Ok && result.status != CaptureStatus::Busy;
    return fault ? result.stoppedBy : QString();
}

CaptureEngine::CaptureEngine(BoardSession &board, CaptureSettings settings, CaptureFacts facts,
                             CaptureHooks hooks)
    : m_board(board), m_settings(std::move(settings)), m_facts(std::move(facts)),
      m_hooks(std::move(hooks)),
      m_blockItems(m_settings.blockItems > 0 ? std::min(m_settings.blockItems, kMaxBlockItems)
                                             : DefaultBlockItems(m_facts.conversion.dataRateSps)),
      m_timing(ConversionPeriod(m_facts.conversion.dataRateSps)) {}

CaptureEngine::~CaptureEngine() = default;

void CaptureEngine::requestStop(const QString &reason) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_requestedReason.isEmpty())
        m_requestedReason = reason;
    m_stopAsked = true;
}

CaptureProgress CaptureEngine::snapshot() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    CaptureProgress progress = m_shared;
    if (m_running)
        progress.elapsedSeconds = std::chrono::duration<double>(Clock::now() - m_start).count();
    return progress;
}

void CaptureEngine::publish() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_shared = m_progress;
}

double CaptureEngine::elapsed() const {
    // m_start changes only on this thread, before the stream starts.
    return std::chrono::duration<double>(Clock::now() - m_start).count();
}

bool CaptureEngine::stopDue(double seconds) {
    if (!m_stopReason.isEmpty())
        return true;
    if (m_stopAsked) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopReason = m_requestedReason;
    } else if (m_hooks.stopRequested && m_hooks.stopRequested()) {
        m_stopReason = QStringLiteral("user");
    } else if (m_settings.stop == StopRule::Duration &&
               seconds * 1000.0 >= static_cast<double>(m_settings.durationMs)) {
        m_stopReason = QStringLiteral("duration");
    }
    return !m_stopReason.isEmpty();
}

bool CaptureEngine::splitDue() const {
    return m_settings.splitMs > 0 &&
           std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_partStart)
                   .count() >= m_settings.splitMs;
}

int CaptureEngine::nextCount(double seconds, bool splitting) const {
    const int64_t samplesLeft =
        m_settings.stop == StopRule::Samples ? m_settings.samples - m_progress.samplesReceived : -1;
    double secondsLeft = -1.0;
    if (m_settings.stop == StopRule::Duration)
        secondsLeft = std::max(0.0, m_settings.durationMs / 1000.0 - seconds);
    if (m_settings.splitMs > 0) {
        // A split due now starts a new file with the next block: its whole interval is left.
        const double inPart =
            splitting ? 0.0 : std::chrono::duration<double>(Clock::now() - m_partStart).count();
        const double splitLeft = std::max(0.0, m_settings.splitMs / 1000.0 - inPart);
        secondsLeft = secondsLeft < 0 ? splitLeft : std::min(secondsLeft, splitLeft);
    }
    const double measured = m_timing.rate();
    const double rate = measured > 0 ? measured : DeliveredRate(m_facts.conversion.dataRateSps);
    return NextRequestCount(m_blockItems, samplesLeft, secondsLeft, rate);
}

bool CaptureEngine::sendRequest(Block &block, int count) {
    block = Block{};
    block.count = count;
    block.codes.reserve(static_cast<size_t>(count));
    block.stamp.firstSample = static_cast<uint64_t>(m_progress.samplesReceived) + m_lostConversions;
    block.stamp.wallSeconds = QDateTime::currentMSecsSinceEpoch() / 1000.0;
    block.stamp.monotonicSeconds = elapsed();
    if (RequestItems(m_board.link(), count) != 0)
        return false;
    m_reader->begin(count);
    return true;
}

bool CaptureEngine::openPart(uint64_t firstSample) {
    const bool split = m_settings.splitMs > 0;
    const int number = m_progress.files + 1;
    const QString path = PartPath(m_settings.path, number, split);
    m_partStart = Clock::now();
    m_progress.filePath = path;
    m_progress.fileBytes = 0;
    m_partSamples = 0;
    const bool made =
        m_writer->create(path, m_runFacts, FilePart{number, firstSample}, m_settings.force);
    if (made) {
        m_progress.files = number;
        m_progress.fileBytes = m_writer->fileBytes();
    }
    publish();
    return made;
}

bool CaptureEngine::writePiece(Block &block, bool endsBlock) {
    Piece &piece = m_piece;
    const size_t n = piece.codes.size();
    piece.times.resize(n);
    if (n > 0) {
        analysis::SpreadPiece(m_anchor, piece.arrivals.back(), piece.times);
        m_anchor = piece.arrivals.back();
        if (block.codes.empty())
            block.firstSeconds = piece.times.front();
    }
    BlockStamp stamp = block.stamp;
    stamp.samples = static_cast<uint32_t>(block.received);
    const uint64_t first = block.stamp.firstSample + static_cast<uint64_t>(block.received) - n;
    if (!m_writer->appendPiece(first, piece.codes, piece.times, endsBlock ? &stamp : nullptr))
        return false;
    m_progress.samplesWritten += static_cast<int64_t>(n);
    m_partSamples += n;
    m_progress.clippedSamples += analysis::CountClipped(piece.codes);
    m_progress.fileBytes = m_writer->fileBytes();
    block.codes.insert(block.codes.end(), piece.codes.begin(), piece.codes.end());
    if (endsBlock && !block.codes.empty()) {
        ++m_progress.blocks;
        m_progress.lastBlock = FiguresOf(block.codes);
        m_progress.haveBlock = true;
        m_progress.drift.add((block.firstSeconds + m_anchor) / 2.0, m_progress.lastBlock.mean);
    }
    publish();
    if (m_hooks.onWritten && n > 0)
        m_hooks.onWritten(piece.codes);
    return true;
}

bool CaptureEngine::finishPart(const QString &stoppedBy) {
    const bool closed = m_writer->finish(stoppedBy);
    publish();
    return closed;
}

void CaptureEngine::drain(int64_t bytes) {
    if (bytes <= 0)
        return;
    m_progress.stopping = true;
    m_progress.drainItemsLeft = bytes / kItemSize;
    m_progress.drainBytesLeft = bytes;
    publish();
    m_reader->drain([this] { return m_abortDrain || (m_hooks.abortDrain && m_hooks.abortDrain()); },
                    [this](int64_t bytesLeft) {
                        m_progress.drainItemsLeft = bytesLeft / kItemSize;
                        m_progress.drainBytesLeft = bytesLeft;
                        publish();
                        if (m_events)
                            m_events->item();
                    });
    m_progress.drainItemsLeft = 0;
    m_progress.drainBytesLeft = 0;
}

void CaptureEngine::onRead(double seconds, std::span<const int32_t> codes, bool full) {
    m_progress.samplesReceived += static_cast<int64_t>(codes.size());
    m_timing.onRead(seconds, static_cast<int>(codes.size()), full);
    if (m_events)
        m_events->item();
}

CaptureResult CaptureEngine::end(CaptureStatus status, const QString &stoppedBy, int linkResult) {
    CaptureResult result;
    result.status = status;
    result.stoppedBy = stoppedBy;
    result.linkResult = linkResult;
    if (status == CaptureStatus::File && m_writer)
        result.fileError = m_writer->error();
    result.samples = m_progress.samplesWritten;
    result.seconds = elapsed();
    result.blocks = m_progress.blocks;
    result.files = m_progress.files;
    result.deadSeconds = m_progress.deadSeconds;
    result.longestDeadSeconds = m_progress.longestDeadSeconds;
    result.clippedSamples = m_progress.clippedSamples;
    result.losses = m_losses;
    m_progress.elapsedSeconds = result.seconds;
    m_progress.stopping = false;
    publish();
    m_running = false;
    return result;
}

QString CaptureEngine::recover(int result, Block &block, bool &stopped) {
    GapRecord gap;
    gap.atSample = m_partSamples;
    // The gap starts with the last sample that arrived: a board that fell silent is noticed
    // only when the reply time limit has passed.
    gap.startSeconds = m_anchor;
    const auto sinceLast = std::chrono::duration<double>(elapsed() - m_anchor);
    gap.startUtc =
        UtcInstantText(std::chrono::system_clock::now() -
                       std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceLast));
    gap.cause = LossCause(result);
    m_progress.waitingForBoard = true;
    m_progress.lossCause = gap.cause;
    m_board.setLost(gap.cause);
    publish();
    if (m_hooks.boardLost)
        m_hooks.boardLost(gap);
    BoardLink &link = m_board.link();
    const BoardReturn back = WaitForBoard(
        link, link.path(), m_runFacts.boardIdentity,
        std::chrono::milliseconds(m_settings.reconnectWithinMs),
        [this] { return stopDue(elapsed()); }, m_hooks.restoreBoard);
    m_progress.waitingForBoard = false;
    m_board.setLost(back.back ? QString() : back.stopped ? gap.cause : back.reason);
    publish();
    if (!back.back) {
        stopped = back.stopped;
        return back.stopped ? m_stopReason : back.reason;
    }
    // The chip settles after a register write: those conversions are read and dropped.
    const int settling = back.settles ? m_facts.conversion.settlingConversions : 0;
    if (settling > 0) {
        if (RequestItems(link, settling) != 0)
            return acquisition_message::SendCommandFailed().text;
        m_reader->begin(settling);
        std::vector<int32_t> codes;
        std::vector<double> arrivals;
        items::ItemsRead read;
        while (!read.complete && read.result == 0 && read.badItem < 0)
            read = m_reader->readPiece(Clock::now() + std::chrono::seconds(1), codes, arrivals, {});
        if (!read.complete)
            return QStringLiteral("the board was lost again while it settled: %1")
                .arg(LossCause(read.result));
    }
    // The stream flows again from the next request: the gap ends there, and its conversions
    // are lost (the run-wide index runs on by them).
    const double resume = elapsed();
    gap.lengthSeconds = resume - gap.startSeconds;
    gap.lost = LostConversions(gap.lengthSeconds, DeliveredRate(m_facts.conversion.dataRateSps));
    if (!m_writer->writeGap(gap))
        return m_writer->errorText();
    m_lostConversions += gap.lost;
    m_losses.push_back(gap);
    m_progress.losses = static_cast<int>(m_losses.size());
    m_progress.lostSeconds += gap.lengthSeconds;
    if (m_hooks.boardBack)
        m_hooks.boardBack(gap);
    const int count = stopDue(resume) ? 0 : nextCount(resume, false);
    if (count < 1) {
        stopped = true;
        return m_stopReason.isEmpty() ? QStringLiteral("samples") : m_stopReason;
    }
    if (!sendRequest(block, count))
        return acquisition_message::SendCommandFailed().text;
    // The time rule starts again here: no sample is spread back across the gap.
    m_anchor = block.stamp.monotonicSeconds;
    m_timing.start(m_anchor);
    publish();
    return QString();
}

CaptureResult CaptureEngine::run() {
    // The capture counts as an acquisition: while it runs, the panels' Write and Read and
    // "Start get ADC data" are refused as during one.
    BusyFlags &flags = m_board.busy();
    const BusyGuard busy(flags.acquiring, {&flags.registerBusy, &flags.calibrating});
    if (!busy) {
        CaptureResult refused;
        refused.status = CaptureStatus::Busy;
        refused.stoppedBy = QStringLiteral("busy");
        return refused;
    }
    return stream();
}

CaptureResult CaptureEngine::stream() {
    m_progress = CaptureProgress{};
    m_timing = StreamTiming(ConversionPeriod(m_facts.conversion.dataRateSps));
    m_progress.nominalSps = m_facts.conversion.dataRateSps;
    m_progress.blockItems = m_blockItems;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_start = m_settings.clock ? m_settings.clock->steady : Clock::now();
        m_shared = m_progress;
    }
    m_runFacts = m_facts;
    m_runFacts.runStartUtc =
        UtcInstantText(m_settings.clock ? m_settings.clock->utc : std::chrono::system_clock::now());
    m_runFacts.boardIdentity = m_board.link().identity();
    m_running = true;
    m_writer = MakeWriter(m_settings.format);
    if (m_hooks.pumpEvents)
        m_events = std::make_unique<EventCadence>(m_hooks.pumpEvents, m_hooks.pumpIntervalMs);
    ReadWaitHook whileWaiting;
    if (m_events)
        whileWaiting = [this] { return m_events->waiting(); };
    m_reader = std::make_unique<items::ItemReader>(
        m_board.link(), [this] { return stopDue(elapsed()); }, m_start, m_hooks.gatherMs,
        whileWaiting);
    if (!openPart(0))
        return end(CaptureStatus::File, m_writer->errorText());

    const QString sendFailed = acquisition_message::SendCommandFailed().text;
    const int firstCount = stopDue(0.0) ? 0 : nextCount(0.0, false);
    if (firstCount < 1) {
        const QString reason = m_stopReason.isEmpty() ? QStringLiteral("samples") : m_stopReason;
        finishPart(reason);
        return end(CaptureStatus::Ok, reason);
    }
    Block block, next;
    if (!sendRequest(block, firstCount)) {
        finishPart(sendFailed);
        return end(CaptureStatus::Exchange, sendFailed, 6);
    }
    m_anchor = block.stamp.monotonicSeconds;
    m_timing.start(m_anchor);
    const items::ItemReader::OnRead reads = [this](double seconds, std::span<const int32_t> codes,
                                                   bool full) { onRead(seconds, codes, full); };

    for (;;) {
        m_piece.codes.clear();
        m_piece.arrivals.clear();
        const auto until = Clock::now() + std::chrono::milliseconds(m_hooks.pieceMs);
        const items::ItemsRead read =
            m_reader->readPiece(until, m_piece.codes, m_piece.arrivals, reads);
        const int64_t firstIndex = static_cast<int64_t>(block.stamp.firstSample) + block.received;
        block.received += read.items;
        m_progress.deadSeconds = m_timing.deadSeconds();
        m_progress.longestDeadSeconds = m_timing.longestGapSeconds();
        m_progress.rateSps = m_timing.rate();

        if (read.complete) {
            const double now = elapsed();
            const bool splitting = splitDue();
            const int count = stopDue(now) ? 0 : nextCount(now, splitting);
            const bool sent = count < 1 || sendRequest(next, count);
            if (!writePiece(block, true)) {
                const QString reason = m_writer->errorText();
                finishPart(reason);
                if (count > 0 && sent)
                    drain(static_cast<int64_t>(next.count) * kItemSize);
                return end(CaptureStatus::File, reason);
            }
            if (count < 1) {
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
            if (splitting && (!finishPart(QString::fromLatin1(format::kStoppedBySplit)) ||
                              !openPart(next.stamp.firstSample))) {
                const QString reason = m_writer->errorText();
                drain(static_cast<int64_t>(next.count) * kItemSize);
                return end(CaptureStatus::File, reason);
            }
            std::swap(block, next);
            continue;
        }

        if (read.result != 0 && read.badItem < 0 && !read.stopped &&
            m_settings.reconnectWithinMs > 0) {
            // The board is lost: what arrived is kept, then it is waited for.
            if (!writePiece(block, true)) {
                const QString reason = m_writer->errorText();
                finishPart(reason);
                return end(CaptureStatus::File, reason);
            }
            bool stopped = false;
            const QString ended = recover(read.result, block, stopped);
            if (ended.isEmpty())
                continue;
            if (!finishPart(ended))
                return end(CaptureStatus::File, m_writer->errorText());
            if (stopped)
                return end(CaptureStatus::Ok, ended);
            return end(CaptureStatus::Exchange, ended, read.result);
        }

        if (read.stopped || read.result != 0 || read.badItem >= 0) {
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
            if (!writePiece(block, true)) {
                status = CaptureStatus::File;
                reason = m_writer->errorText();
            }
            finishPart(reason);
            if (read.result == 0)
                drain(m_reader->bytesLeft());
            return end(status, reason, read.result);
        }

        // A piece of a block that goes on.
        if (!writePiece(block, false)) {
            const QString reason = m_writer->errorText();
            finishPart(reason);
            drain(m_reader->bytesLeft());
            return end(CaptureStatus::File, reason);
        }
    }
}

} // namespace capture
