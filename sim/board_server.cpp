#include "sim/board_server.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace sim {
namespace {

using namespace std::chrono_literals;

constexpr auto kPollSlice = 10ms;         // stop() is noticed within this
constexpr auto kPeerGoneNap = 5ms;        // POLLHUP repeats until the slave is opened again
constexpr auto kQuietLine = 20ms;         // after this, a held-back frame is judged
constexpr auto kHangUpSettle = 30ms;      // the pty delivers written bytes a little later
constexpr auto kHangUpGrace = 2000ms;     // at most this long for the reader to take the rest
constexpr auto kWireBurstAllowance = 5ms; // how far replies may catch up after a late wake
// How late this thread may wake and still send a paced stream's items as the line would have,
// with the conversions of their time: a busy machine must not make the board lose any.
constexpr auto kLateWakeAllowance = 500ms;
constexpr size_t kUnpacedBacklogBytes = 4096;

std::chrono::nanoseconds WireTime(size_t bytes) {
    return std::chrono::nanoseconds(static_cast<int64_t>(bytes * 1e9 / kWireBytesPerSecond));
}

} // namespace

bool BoardServer::start() {
    if (hungUp_)
        return false; // a board that hung up stays down
    if (thread_.joinable())
        return true;
    if (!pty_.open())
        return false;
    portPath_ = pty_.slavePath();
    stopRequested_ = false;
    out_.clear();
    streamActive_ = false;
    peerGone_ = false;
    hangUpArmed_ = false;
    idleJudged_ = outputIdle_ = true;
    thread_ = std::thread([this] { serve(); });
    return true;
}

void BoardServer::stop() {
    stopRequested_ = true;
    if (thread_.joinable())
        thread_.join();
    pty_.close();
}

std::string BoardServer::portPath() const {
    return portPath_;
}

std::vector<uint8_t> BoardServer::sentItemBytes() const {
    std::lock_guard<std::mutex> lock(sentMutex_);
    return sentItems_;
}

void BoardServer::clearSentItemBytes() {
    std::lock_guard<std::mutex> lock(sentMutex_);
    sentItems_.clear();
}

uint64_t BoardServer::sentByteCount() const {
    std::lock_guard<std::mutex> lock(sentMutex_);
    return sentBytes_;
}

bool BoardServer::waitForSentBytes(uint64_t count, std::chrono::milliseconds limit) const {
    std::unique_lock<std::mutex> lock(sentMutex_);
    return sentGrew_.wait_for(lock, limit, [&] { return sentBytes_ >= count; });
}

bool BoardServer::waitForSentItemBytes(size_t count, std::chrono::milliseconds limit) const {
    std::unique_lock<std::mutex> lock(sentMutex_);
    return sentGrew_.wait_for(lock, limit, [&] { return sentItems_.size() >= count; });
}

StreamRecord BoardServer::streamRecord() const {
    std::lock_guard<std::mutex> lock(sentMutex_);
    StreamRecord record = record_;
    record.sendTimes.assign(sendTimes_.begin(), sendTimes_.end());
    return record;
}

uint64_t BoardServer::droppedConversions() const {
    std::lock_guard<std::mutex> lock(sentMutex_);
    return record_.dropped;
}

void BoardServer::clearStreamRecord() {
    std::lock_guard<std::mutex> lock(sentMutex_);
    record_ = StreamRecord{};
    sendTimes_.clear();
    lastItemAt_.reset();
}

void BoardServer::recordConversions(uint64_t made, uint64_t dropped) {
    std::lock_guard<std::mutex> lock(sentMutex_);
    record_.conversions += made;
    record_.dropped += dropped;
}

// Called with sentMutex_ held.
void BoardServer::recordItemSent(Clock::time_point at) {
    ++record_.itemsSent;
    if (lastItemAt_)
        record_.longestGap = std::max(record_.longestGap, at - *lastItemAt_);
    lastItemAt_ = at;
    sendTimes_.push_back(at);
    if (sendTimes_.size() > kSendTimesKept)
        sendTimes_.pop_front();
}

void BoardServer::serve() {
    lineFreeAt_ = Clock::now();
    while (!stopRequested_) {
        produceUnpaced();
        auto now = Clock::now();
        const bool hangingUp = !out_.empty() && out_.front().hangUp;
        const std::optional<Clock::time_point> due = nextDue();
        const bool haveDue = !hangingUp && due && *due <= now;
        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(kPollSlice);
        if (hangingUp)
            wait = std::chrono::milliseconds(2);
        else if (due && !haveDue) {
            const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(*due - now);
            wait = std::clamp(untilDue, std::chrono::milliseconds(1), wait);
        }
        pollfd p{pty_.fd(), static_cast<short>(POLLIN | (haveDue ? POLLOUT : 0)), 0};
        const int ready = poll(&p, 1, static_cast<int>(wait.count()));
        now = Clock::now();
        if (ready < 0 && errno != EINTR)
            std::this_thread::sleep_for(kPeerGoneNap);
        if (ready > 0 && (p.revents & POLLIN))
            readInput(now);
        else if (ready > 0 && (p.revents & (POLLHUP | POLLERR))) {
            lineDropped();
            std::this_thread::sleep_for(kPeerGoneNap);
            continue;
        } else if (ready > 0)
            peerGone_ = false;
        if (!idleJudged_ && now - lastInputAt_ >= kQuietLine) {
            idleJudged_ = true;
            queue(withModel([](BoardModel &m) { return m.lineIdle(); }), now);
        }
        if (!writeOutput(Clock::now()))
            return;
        outputIdle_ = out_.empty() && !streamActive_;
    }
}

void BoardServer::readInput(Clock::time_point now) {
    std::array<uint8_t, 4096> buffer{};
    for (;;) {
        const ssize_t n = read(pty_.fd(), buffer.data(), buffer.size());
        if (n <= 0) {
            if (n < 0 && errno == EIO)
                lineDropped();
            return;
        }
        peerGone_ = false;
        lastInputAt_ = now;
        idleJudged_ = false;
        uint64_t before = 0, after = 0;
        auto emissions = withModel([&](BoardModel &m) {
            before = m.framesTaken();
            auto e = m.receive(buffer.data(), static_cast<size_t>(n));
            after = m.framesTaken();
            return e;
        });
        if (after != before) {
            // The program gave up on any stream still running when it sent a new request.
            dropQueuedItems();
            streamActive_ = false;
        }
        queue(std::move(emissions), now);
    }
}

void BoardServer::queue(std::vector<Emission> emissions, Clock::time_point now) {
    for (Emission &e : emissions) {
        const auto at = now + std::chrono::milliseconds(e.delayMs);
        if (e.startsStream) {
            streamActive_ = true;
            streamStartAt_ = at;
            streamPacing_ = pacing_;
            conversionsTaken_ = 0;
            // At the wire's pace the chip converts in step with the line.
            conversionSeconds_ = kItemBytes / kWireBytesPerSecond;
            const double rate =
                withModel([](const BoardModel &m) { return m.chipState().dataRateSps(); });
            if (streamPacing_ == Pacing::Real && rate > 0)
                conversionSeconds_ = 1.0 / rate;
        }
        if (!e.bytes.empty()) {
            Segment s;
            s.bytes = std::move(e.bytes);
            s.notBefore = at;
            out_.push_back(std::move(s));
        }
    }
}

void BoardServer::produceUnpaced() {
    if (!streamActive_ || streamPacing_ != Pacing::None)
        return;
    size_t backlogBytes = 0;
    for (const Segment &s : out_)
        backlogBytes += s.bytes.size() - s.offset;
    uint64_t made = 0;
    {
        std::lock_guard<std::mutex> lock(modelMutex_);
        while (streamActive_ && backlogBytes < kUnpacedBacklogBytes) {
            StreamStep step;
            if (!model_.nextStreamStep(step)) {
                streamActive_ = false;
                break;
            }
            Segment s;
            s.bytes = std::move(step.bytes);
            s.item = true;
            s.hangUp = step.hangUp;
            s.notBefore = streamStartAt_;
            made += step.hangUp ? 0 : 1;
            backlogBytes += s.bytes.size();
            out_.push_back(std::move(s));
            if (!model_.streaming())
                streamActive_ = false;
        }
    }
    if (made > 0)
        recordConversions(made, 0);
}

BoardServer::Clock::time_point BoardServer::conversionDone(uint64_t conversion) const {
    return streamStartAt_ + std::chrono::round<Clock::duration>(
                                std::chrono::duration<double>(conversionSeconds_ * conversion));
}

uint64_t BoardServer::conversionsFinishedBy(Clock::time_point at) const {
    const double elapsed = std::chrono::duration<double>(at - streamStartAt_).count();
    // A conversion finished at exactly `at` (to the clock's nanosecond) counts as finished.
    return static_cast<uint64_t>(std::max(0.0, elapsed / conversionSeconds_ + 1e-4));
}

bool BoardServer::lineTakesBytes() const {
    pollfd p{pty_.fd(), POLLOUT, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & POLLOUT);
}

// A paced stream takes a conversion only when the line can carry it: the newest one finished
// by then. Those finished before it and never sent are lost; so are those that finish while
// the reader leaves the line full. The chip never waits.
bool BoardServer::takePacedItem(Clock::time_point now) {
    if (!streamActive_ || streamPacing_ == Pacing::None)
        return false;
    lineFreeAt_ = std::max(lineFreeAt_, now - kLateWakeAllowance);
    const Clock::time_point at = std::max(lineFreeAt_, conversionDone(conversionsTaken_ + 1));
    if (at > now)
        return false;
    if (!lineTakesBytes()) {
        // The reader has left the line full: whatever the chip finished meanwhile is lost, and
        // the line is not free before now.
        lineFreeAt_ = now;
        const uint64_t finished = conversionsFinishedBy(now);
        if (finished > conversionsTaken_) {
            const uint64_t lost = finished - conversionsTaken_;
            const bool wanted = withModel([&](BoardModel &m) {
                const bool w = m.wantsConversion();
                m.loseConversions(lost);
                return w;
            });
            if (wanted) {
                conversionsTaken_ = finished;
                recordConversions(lost, lost);
            }
        }
        return false;
    }
    const uint64_t newest = std::max(conversionsFinishedBy(at), conversionsTaken_ + 1);
    const uint64_t skipped = newest - conversionsTaken_ - 1;
    StreamStep step;
    bool more;
    {
        std::lock_guard<std::mutex> lock(modelMutex_);
        more = model_.nextStreamStep(step, skipped);
        // Over once the last item is out, not one conversion later.
        if (!model_.streaming() || model_.streamOver())
            streamActive_ = false;
    }
    if (!more) {
        streamActive_ = false;
        return false;
    }
    lineFreeAt_ = at;
    Segment s;
    s.bytes = std::move(step.bytes);
    s.item = true;
    s.hangUp = step.hangUp;
    s.notBefore = at;
    if (!step.hangUp) {
        conversionsTaken_ = newest;
        recordConversions(skipped + 1, skipped);
    }
    out_.push_back(std::move(s));
    return true;
}

BoardServer::Clock::time_point BoardServer::frontDue() const {
    const Segment &s = out_.front();
    if (s.hangUp || pacing_ == Pacing::None)
        return s.notBefore;
    return std::max(s.notBefore, lineFreeAt_);
}

std::optional<BoardServer::Clock::time_point> BoardServer::nextDue() const {
    if (!out_.empty())
        return frontDue();
    if (streamActive_ && streamPacing_ != Pacing::None)
        return std::max(lineFreeAt_, conversionDone(conversionsTaken_ + 1));
    return std::nullopt;
}

bool BoardServer::writeOutput(Clock::time_point now) {
    const bool paced = pacing_ != Pacing::None;
    while (!out_.empty() || takePacedItem(now)) {
        Segment &s = out_.front();
        if (s.hangUp) {
            if (!hangUpArmed_) {
                hangUpArmed_ = true;
                hangUpAt_ = now + kHangUpGrace;
            }
            const bool settled = now >= hangUpAt_ - kHangUpGrace + kHangUpSettle;
            if (now < hangUpAt_ && (!settled || pty_.unreadBytes() > 0))
                return true;
            hungUp_ = true;
            pty_.close(); // the reader's next read fails at once; the board stays down
            out_.clear();
            return false;
        }
        if (now < s.notBefore)
            return true;
        if (paced && !s.item) { // a paced stream's item went out when takePacedItem said
            lineFreeAt_ = std::max(lineFreeAt_, now - kWireBurstAllowance);
            if (now < lineFreeAt_)
                return true;
        }
        // Held across the write, so whoever has read the bytes finds them recorded.
        std::unique_lock<std::mutex> sentLock(sentMutex_);
        const size_t remaining = s.bytes.size() - s.offset;
        const ssize_t n = write(pty_.fd(), s.bytes.data() + s.offset, remaining);
        if (n < 0) {
            sentLock.unlock();
            if (errno == EIO)
                lineDropped();
            return true;
        }
        sentBytes_ += static_cast<uint64_t>(n);
        const auto first = s.bytes.begin() + static_cast<std::ptrdiff_t>(s.offset);
        s.offset += static_cast<size_t>(n);
        if (s.item) {
            sentItems_.insert(sentItems_.end(), first, first + n);
            if (s.offset == s.bytes.size())
                recordItemSent(now);
        }
        sentLock.unlock();
        sentGrew_.notify_all();
        if (paced)
            lineFreeAt_ += WireTime(static_cast<size_t>(n));
        if (s.offset < s.bytes.size())
            return true; // the pty is full; poll tells when it drains
        out_.pop_front();
    }
    return true;
}

void BoardServer::lineDropped() {
    // The program closed the port: whatever is queued would be discarded at its next open.
    if (peerGone_)
        return;
    peerGone_ = true;
    dropQueuedItems();
    out_.clear();
    streamActive_ = false;
    withModel([](BoardModel &m) { m.abortStream(); });
    pty_.makeRaw();
}

void BoardServer::dropQueuedItems() {
    // A pending hang-up stays: the line drops whatever the program does meanwhile.
    std::erase_if(out_, [](const Segment &s) { return s.item && !s.hangUp; });
}

} // namespace sim
