#pragma once
// Serves a BoardModel on a pseudo-terminal from a thread of its own: reads frames, queues the
// replies and the item stream, paces them and writes them out. Every access to the model goes
// through one lock, so tests may change faults, signal and registers while it serves.

#include "sim/board_model.h"
#include "sim/pty_port.h"
#include "sim/virtual_board.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sim {

// 115200 baud, 8N1: ten bit times per byte.
constexpr double kWireBytesPerSecond = 11520.0;
constexpr size_t kItemBytes = 4;

class BoardServer {
  public:
    explicit BoardServer(Chip chip) : model_(chip) {}
    ~BoardServer() { stop(); }
    BoardServer(const BoardServer &) = delete;
    BoardServer &operator=(const BoardServer &) = delete;

    bool start();
    // Serves again on a new pty after stop(), even a board that hung up by its fault.
    bool plugIn() {
        hungUp_ = false;
        return start();
    }
    void stop();
    std::string portPath() const;

    void setPacing(Pacing pacing) { pacing_ = pacing; }

    template <class F> decltype(auto) withModel(F &&f) {
        std::lock_guard<std::mutex> lock(modelMutex_);
        return f(model_);
    }
    template <class F> decltype(auto) withModel(F &&f) const {
        std::lock_guard<std::mutex> lock(modelMutex_);
        return f(model_);
    }

    std::vector<uint8_t> sentItemBytes() const;
    void clearSentItemBytes();
    uint64_t sentByteCount() const;
    bool waitForSentBytes(uint64_t count, std::chrono::milliseconds limit) const;
    bool waitForSentItemBytes(size_t count, std::chrono::milliseconds limit) const;
    // Nothing queued or streaming, and the reader has taken every byte sent.
    bool idle() const { return outputIdle_ && pty_.unreadBytes() == 0; }

    StreamRecord streamRecord() const;
    uint64_t droppedConversions() const;
    void clearStreamRecord();

  private:
    using Clock = std::chrono::steady_clock;
    struct Segment {
        std::vector<uint8_t> bytes;
        size_t offset = 0;
        Clock::time_point notBefore;
        bool item = false;
        bool hangUp = false;
    };

    void serve();
    void readInput(Clock::time_point now);
    void queue(std::vector<Emission> emissions, Clock::time_point now);
    void produceUnpaced();
    bool takePacedItem(Clock::time_point now);
    bool writeOutput(Clock::time_point now); // false once the board has hung up
    void lineDropped();
    void dropQueuedItems();
    Clock::time_point frontDue() const;
    std::optional<Clock::time_point> nextDue() const;
    Clock::time_point conversionDone(uint64_t conversion) const;
    uint64_t conversionsFinishedBy(Clock::time_point at) const;
    bool lineTakesBytes() const;
    void recordConversions(uint64_t made, uint64_t dropped);
    void recordItemSent(Clock::time_point at);

    mutable std::mutex modelMutex_;
    BoardModel model_;
    PtyPort pty_;
    std::string portPath_;
    std::thread thread_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> hungUp_{false};
    std::atomic<bool> outputIdle_{true};
    std::atomic<Pacing> pacing_{Pacing::Wire};

    // What went out on the line, for tests to wait on.
    mutable std::mutex sentMutex_;
    mutable std::condition_variable sentGrew_;
    std::vector<uint8_t> sentItems_;
    uint64_t sentBytes_ = 0;
    StreamRecord record_;
    std::deque<Clock::time_point> sendTimes_;
    std::optional<Clock::time_point> lastItemAt_;

    // Serving thread only.
    std::deque<Segment> out_;
    Clock::time_point lineFreeAt_{};
    Clock::time_point lastInputAt_{};
    Clock::time_point hangUpAt_{};
    bool hangUpArmed_ = false;
    bool idleJudged_ = true;
    bool peerGone_ = false;
    // The running acquisition: its pacing, when it started, how long a conversion takes, and
    // how many conversions the bridge has taken from the chip (sent or let go).
    bool streamActive_ = false;
    Pacing streamPacing_ = Pacing::None;
    Clock::time_point streamStartAt_{};
    double conversionSeconds_ = 0.0;
    uint64_t conversionsTaken_ = 0;
};

} // namespace sim
