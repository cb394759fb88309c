#pragma once
// The continuous capture: block after block of items from the board, each block written and
// made durable while the next one streams in, until a stop rule, a stop request or a fault.
// Runs on the caller's thread and lets the window's events run on their cadence. The window
// and pellorin-cli use it alike.
//
// Pipelining: the next block's request goes out as soon as the last item of a block is in, and
// only then is the finished block written, so the board is never kept waiting for the disk.
// A stop in the middle of a block takes the item in flight, writes what was received, closes
// the file and then drains the rest of the block the board still sends (at most the block's
// wire time), so the next exchange on the port is not met by late items.

#include "block_figures.h"
#include "capture_settings.h"
#include "capture_writer.h"
#include "item_stream.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace capture {

struct CaptureHooks {
    QObject *owner = nullptr;         // owner of the messages shown
    std::function<void()> pumpEvents; // between items, on the EventCadence; must not block
    int pumpIntervalMs = kEventIntervalMs;
    std::function<bool()> stopRequested;   // asked after every item (a signal, for instance)
    std::function<bool()> abortDrain;      // ends the drain after a stop early
    std::function<void(int32_t)> onSample; // every sample as it arrives (live view)
    int gatherMs = kReadGatherMs;          // see ReadAvailableWaiting
};

// What a window shows while the capture runs. Updated as items arrive.
struct CaptureProgress {
    int64_t samplesWritten = 0;
    int64_t samplesReceived = 0;
    double elapsedSeconds = 0.0;
    int blocks = 0;
    int files = 0;
    double deadSeconds = 0.0; // the line idle between blocks (see DeadTime)
    double longestDeadSeconds = 0.0;
    uint64_t fileBytes = 0; // the file being written
    QString filePath;
    bool haveBlock = false;
    BlockFigures lastBlock;
    DriftLine drift; // block means against time
    bool stopping = false;
    int64_t drainItemsLeft = 0;
};

// Busy: another board operation ran, and the capture did not start.
enum class CaptureStatus { Ok, Exchange, ItemChecksum, File, Busy };

struct CaptureResult {
    CaptureStatus status = CaptureStatus::Ok;
    QString stoppedBy; // "user", "duration", "samples", "detect" or the message of the fault
    int linkResult = 0;
    int64_t samples = 0;
    double seconds = 0.0;
    int blocks = 0;
    int files = 0;
    double deadSeconds = 0.0;
    double longestDeadSeconds = 0.0;
};

// Dead time between two blocks: from taking one block's last item to taking the next block's
// first, less the time spent writing to disk meanwhile (the board streams during the write).
double DeadTime(double lastItemSeconds, double nextFirstItemSeconds, double writeSeconds);

class CaptureEngine {
  public:
    CaptureEngine(CaptureSettings settings, CaptureFacts facts, CaptureHooks hooks);
    ~CaptureEngine();

    // Runs the capture to its end; the board's port must be open and detected.
    CaptureResult run();
    // Stops after the item in flight; the first reason given is the one recorded.
    void requestStop(const QString &reason);
    bool running() const { return m_running; }
    const CaptureProgress &progress() const { return m_progress; }

  private:
    struct Block {
        std::vector<int32_t> codes;
        std::vector<double> seconds;
        BlockStamp stamp;
        int count = 0;
    };

    bool stopDue(double elapsed);
    int nextCount() const;
    bool sendRequest(Block &block, int count);
    bool openPart(uint64_t firstSample);
    bool writeBlock(const Block &block, int items, double &writeSeconds);
    bool finishPart(const QString &stoppedBy);
    void drain(int64_t bytes);
    CaptureResult end(CaptureStatus status, const QString &stoppedBy, int linkResult = 0);
    double elapsed() const;

    CaptureSettings m_settings;
    CaptureFacts m_facts;
    CaptureHooks m_hooks;
    std::unique_ptr<CaptureWriter> m_writer;
    std::unique_ptr<EventCadence> m_events;
    std::unique_ptr<ItemReader> m_reader;
    CaptureProgress m_progress;
    Clock::time_point m_start;
    Clock::time_point m_partStart;
    QString m_stopReason;
    bool m_running = false;
};

} // namespace capture
