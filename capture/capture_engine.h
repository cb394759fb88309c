#pragma once
// The continuous capture: block after block of items from the board, written a piece at a time
// (a fraction of a second each, made durable as it is written) while the stream goes on, until
// a stop rule, a stop request or a fault. The window runs it on a thread of its own that owns
// the port (link/port_worker.h) and reads its progress as snapshots; pellorin-cli runs it on
// its main thread. It shows nothing: its result says how it ended, and the caller tells the
// user.
//
// Pipelining: the next block's request goes out as soon as the last item of a block is in, and
// only then is the block's last piece written, so the board is never kept waiting for the disk.
// A stop in the middle of a block takes the item in flight, writes what was received, closes
// the file and then drains the rest of the block the board still sends (about a second with
// the blocks sized by time), so the next exchange on the port is not met by late items.

#include "block_figures.h"
#include "board_return.h"
#include "capture_settings.h"
#include "capture_writer.h"
#include "gap_record.h"
#include "stream_timing.h"

#include "acquisition/event_cadence.h"
#include "link/item_reader.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

class BoardSession;

namespace capture {

using items::Clock;

// A piece of the stream is written at least this often: the figures a window shows move
// several times a second, and a crash loses no more than this.
constexpr int kPieceMs = 200;
// How long a read of the stream rests for more items when it has too few (see
// ReadAvailableWaiting): no window waits on the engine's thread, so a few dozen items are
// gathered per read at the wire's pace, and the driver holds them meanwhile (184 bytes).
constexpr int kCaptureGatherMs = 16;

struct CaptureHooks {
    // The command line's progress line: runs between reads on the EventCadence and must not
    // block. Null in the window, whose engine has a thread of its own.
    std::function<void()> pumpEvents;
    int pumpIntervalMs = kEventIntervalMs;
    std::function<bool()> stopRequested; // asked after every item (a signal, for instance)
    std::function<bool()> abortDrain;    // ends the drain after a stop early
    // The samples of each piece once it is on disk, on the engine's thread (the live view).
    std::function<void(std::span<const int32_t>)> onWritten;
    int gatherMs = kCaptureGatherMs;
    int pieceMs = kPieceMs;
    // With CaptureSettings::reconnectWithinMs: told on the engine's thread when the board is
    // lost (the gap's start and cause) and when it is back (the whole gap); and what a board
    // that answers again must pass (the chip brought back as recorded).
    std::function<void(const GapRecord &)> boardLost;
    std::function<void(const GapRecord &)> boardBack;
    RestoreBoard restoreBoard;
};

// What a window shows while the capture runs.
struct CaptureProgress {
    int64_t samplesWritten = 0;
    int64_t samplesReceived = 0;
    double elapsedSeconds = 0.0;
    int blocks = 0;
    int files = 0;
    double deadSeconds = 0.0;        // see StreamTiming
    double longestDeadSeconds = 0.0; // the longest gap
    double rateSps = -1.0;           // over the last 10 s; negative until known
    double nominalSps = 0.0;         // the chip's rate; 0 where unknown
    int blockItems = 0;              // items per request
    uint64_t fileBytes = 0;          // the file being written, as written and synced
    // Samples written at either code limit: the input may have been beyond the range there.
    int64_t clippedSamples = 0;
    QString filePath;
    bool haveBlock = false;
    BlockFigures lastBlock;
    DriftLine drift; // block means against time
    bool stopping = false;
    bool waitingForBoard = false; // lost, and looked for
    QString lossCause;            // why, while waitingForBoard
    int losses = 0;               // times the board was lost and came back
    double lostSeconds = 0.0;     // their length in all
    int64_t drainItemsLeft = 0;
    // The same in bytes, exact (a read may end inside an item): what the board still owes when
    // a caller cuts the drain short (abortDrain) and reads it off later.
    int64_t drainBytesLeft = 0;
};

// Busy: another board operation ran, and the capture did not start.
enum class CaptureStatus { Ok, Exchange, ItemChecksum, File, Busy };

struct CaptureResult {
    CaptureStatus status = CaptureStatus::Ok;
    QString stoppedBy; // "user", "duration", "samples", "detect" or the message of the fault
    int linkResult = 0;
    // With CaptureStatus::File: the file and the cause, as fields (stoppedBy has their text).
    platform::FileError fileError;
    int64_t samples = 0;
    double seconds = 0.0;
    int blocks = 0;
    int files = 0;
    double deadSeconds = 0.0;
    double longestDeadSeconds = 0.0;
    int64_t clippedSamples = 0; // of samples, at either code limit
    // Each time the board was lost and came back: when, why, how long, conversions lost.
    std::vector<GapRecord> losses;
};

// An instant as the files record the run's start: ISO 8601 UTC to the microsecond, with a "Z".
QString UtcInstantText(std::chrono::system_clock::time_point instant);

// A fault's message for the user, "" when the capture ended as asked (or never started).
QString FaultMessage(const CaptureResult &result);

class CaptureEngine {
  public:
    // board: the board it streams from; it must outlive the engine.
    CaptureEngine(BoardSession &board, CaptureSettings settings, CaptureFacts facts,
                  CaptureHooks hooks);
    ~CaptureEngine();

    // Takes the board (its busy flags, as an acquisition) and runs the capture to its end, on
    // the thread that owns the board's link.
    CaptureResult run();
    // The same, for a caller that holds the busy flags itself (on the thread that owns them).
    CaptureResult stream();

    // From any thread: stops after the item in flight; the first reason given is recorded.
    void requestStop(const QString &reason);
    // From any thread: a stop's wait for the rest of the block ends at once.
    void abortDrain() { m_abortDrain = true; }
    // From any thread: the progress as it stands, elapsed time up to now.
    CaptureProgress snapshot() const;
    bool running() const { return m_running; }
    // Items per request: the settings' or, by default, about a second of conversions.
    int blockItems() const { return m_blockItems; }

  private:
    struct Block {
        int count = 0;
        int received = 0;
        BlockStamp stamp;
        std::vector<int32_t> codes; // for the block's figures
        double firstSeconds = 0.0;
    };
    struct Piece {
        std::vector<int32_t> codes;
        std::vector<double> arrivals;
        std::vector<double> times;
    };

    bool stopDue(double seconds);
    int nextCount(double seconds, bool splitting) const;
    bool splitDue() const;
    bool sendRequest(Block &block, int count);
    bool openPart(uint64_t firstSample);
    bool writePiece(Block &block, bool endsBlock);
    bool finishPart(const QString &stoppedBy);
    void drain(int64_t bytes);
    void publish();
    void onRead(double seconds, std::span<const int32_t> codes, bool full);
    CaptureResult end(CaptureStatus status, const QString &stoppedBy, int linkResult = 0);
    double elapsed() const;
    // The board was lost with result: waits for it, records the gap and requests block anew.
    // Empty when the stream goes on, else why it ends (stopped: by a stop, not a fault).
    QString recover(int result, Block &block, bool &stopped);

    BoardSession &m_board;
    const CaptureSettings m_settings;
    const CaptureFacts m_facts;
    CaptureFacts m_runFacts; // m_facts with the board and the run's start instant
    const CaptureHooks m_hooks;
    const int m_blockItems;

    // The engine's thread only.
    std::unique_ptr<CaptureWriter> m_writer;
    std::unique_ptr<EventCadence> m_events;
    std::unique_ptr<items::ItemReader> m_reader;
    StreamTiming m_timing;
    CaptureProgress m_progress;
    Piece m_piece;
    double m_anchor = 0.0;          // the time of the last sample written (the time rule's anchor)
    uint64_t m_lostConversions = 0; // over every gap: the run-wide index runs ahead by them
    uint64_t m_partSamples = 0;     // samples in the file being written
    std::vector<GapRecord> m_losses;
    Clock::time_point m_partStart;
    QString m_stopReason;

    // Shared with other threads.
    mutable std::mutex m_mutex;
    CaptureProgress m_shared;  // under m_mutex
    Clock::time_point m_start; // under m_mutex
    QString m_requestedReason; // under m_mutex
    std::atomic<bool> m_stopAsked{false};
    std::atomic<bool> m_abortDrain{false};
    std::atomic<bool> m_running{false};
};

} // namespace capture
