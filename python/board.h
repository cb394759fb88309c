#pragma once
// The board as a Python script holds it: its own session (link, busy flags) to one board, used
// from the thread that opened it; many Boards may be open in one process, each on its own
// thread. Every method runs without the GIL (see board_call.h) and throws BoardError in the
// program's own words. What the board still owes of a request that was stopped (Ctrl-C, a
// broken loop, a fault) is owed to the link and read off the line before the next exchange,
// interruptibly, so every call meets a quiet line; closing never waits for it.

#include "board_call.h"

#include "capture/capture_engine.h"
#include "chips/tables/chip_table.h"
#include "conversion/conversion_facts.h"
#include "link/board_session.h"
#include "scan/scan_engine.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace sim {
class VirtualBoard;
}

namespace pellorin_py {

struct OpenRequest {
    QString port;     // empty: the system's serial devices
    QString chip;     // empty: whichever chip answers
    QString simulate; // a chip name: a virtual board in-process, on its own pty
    QString signal;   // for simulate: "sine:HZ:VOLTS" or "count"
    QString pace;     // for simulate: "none", "wire" or "real"
    bool scanSystem = true;
};

// open_all: every board among the candidates, or one virtual board per name.
struct OpenAllRequest {
    QStringList ports;    // empty: the system's serial devices (unless simulate is given)
    QString chip;         // empty: every chip; else boards of this chip only
    QStringList simulate; // chip names: one virtual board each, in-process
    QString signal;       // for simulate: as OpenRequest
    QString pace;         // for simulate: as OpenRequest
    bool scanSystem = true;
};

struct WrittenRegister {
    int address = 0;
    uint8_t readBack = 0;
    QString note; // "NAME reads back ..." when the chip keeps other bits than written
};

class Board {
  public:
    // Finds the board and runs the program's handshake on it.
    static std::unique_ptr<Board> open(const OpenRequest &request, Interrupt &interrupt);
    // Every board the request finds, each handshaken and its registers read; none found is an
    // empty list. Each Board belongs to the first thread that makes a call on it, so a script
    // may open them all on one thread and hand each to a thread of its own.
    static std::vector<std::unique_ptr<Board>> openAll(const OpenAllRequest &request,
                                                       Interrupt &interrupt);
    ~Board();
    Board(const Board &) = delete;
    Board &operator=(const Board &) = delete;

    // From any thread: waits for a call in flight on the Board's own thread to end, then closes
    // the port without waiting for what the board still owes.
    void close();
    bool isOpen() const { return m_open; }
    const cli::ChipSupport &chip() const { return *m_chip; }
    const QString &port() const { return m_port; }

    std::vector<uint8_t> readRegisters(Interrupt &interrupt);
    // Every write is checked before the first goes out; then each is written and read back.
    std::vector<WrittenRegister> write(const std::vector<std::pair<QString, int64_t>> &writes,
                                       Interrupt &interrupt);
    void command(const QString &name, int argument, Interrupt &interrupt);

    // The chip core's facts of the registers as last read (fresh() reads them first).
    conversion::ConversionFacts facts() const;
    conversion::ConversionFacts freshFacts(Interrupt &interrupt);
    std::optional<double> reference() const { return m_reference; }
    void setReference(std::optional<double> volts);

    // count items (1 to 65535), after the registers are read again as the window does before
    // every acquisition.
    std::vector<int32_t> acquire(int count, Interrupt &interrupt);

    // A stream of blocks: begin() settles the line and sizes nothing; next() reads one block
    // of blockItems, asking for the following block as soon as this one is in, so
    // the board streams on while the script works on the block. A stream ends when any other
    // call is made on the board (its token no longer matches).
    int beginStream(Interrupt &interrupt);
    // firstIndex: the stream-wide index of the block's first item, for the messages; last:
    // no block follows, so none is asked for.
    std::vector<int32_t> nextBlock(int token, int blockItems, int64_t firstIndex, bool last,
                                   Interrupt &interrupt);

    // startTogether, when given, is called once the board is ready (files checked, registers
    // read) just before the stream starts: the clock it returns is the run's (capture_all).
    capture::CaptureResult capture(const capture::CaptureSettings &settings, Interrupt &interrupt,
                                   QString &filePath,
                                   const std::function<capture::RunClock()> &startTogether = {});
    // discard: samples dropped after each switch; none given: the chip's settling at the
    // registers read first, whose facts (the volts) scanFacts receives.
    scan::ScanOutcome scan(scan::ScanSettings settings, std::optional<int> discard,
                           Interrupt &interrupt, conversion::ConversionFacts &scanFacts);

    // For a call on a worker thread (capture_all), on the calling thread first: a Board this
    // thread owns lets go of its port, one nobody owns stays so; one that another thread owns,
    // or that is in a call, is refused.
    void handOver();
    // On the worker thread, as its call ends: the Board belongs to the next thread that makes a
    // call on it, as after open_all. The worker's call lock is still held.
    void giveBack();

    void loadProfile(const QString &path, bool lenient, Interrupt &interrupt);
    void saveProfile(const QString &path, Interrupt &interrupt);

  private:
    Board() = default;
    // The handshake for chipName (whichever chip answers when empty) on the ports; the Board
    // keeps sim, the virtual board that serves one of them, if any.
    static std::unique_ptr<Board> connect(QStringList ports, QString chipName, bool scanSystem,
                                          std::unique_ptr<sim::VirtualBoard> sim,
                                          Interrupt &interrupt);
    // Lets the next thread that makes a call own the Board (open_all).
    void releaseThread();
    // Before every exchange: the board is open, this is its thread, and the line is quiet.
    void begin(Interrupt &interrupt);
    void settle(Interrupt &interrupt);
    BoardLink &link() { return m_session->link(); }
    std::vector<int32_t> acquireItems(int count, Interrupt &interrupt, int64_t firstIndex);
    void refreshImage(Interrupt &interrupt, bool mustSucceed);

    // Whether this process opened the Board: a child after fork() shares the parent's port and
    // lock file, and must touch neither.
    bool openedHere() const;

    bool m_open = false;
    long m_pid = 0;           // the process that opened the Board
    std::thread::id m_thread; // none: the next thread to make a call owns the Board
    const cli::ChipSupport *m_chip = nullptr;
    QString m_port;
    std::unique_ptr<sim::VirtualBoard> m_sim;
    // After the virtual board, so that the link closes before the board that serves it goes.
    std::unique_ptr<BoardSession> m_session;
    // Held by every call on the Board's thread; close() from another thread waits on it.
    std::mutex m_callMutex;
    std::vector<uint8_t> m_image; // the registers as last read
    int m_mode = 0;               // the VXC5420's mode as last set through this Board, else 0
    std::optional<double> m_reference;
    int m_streamToken = 0;          // the stream that may go on; any other call ends it
    bool m_streamRequested = false; // the stream's next block is asked for already
    std::vector<double> m_arrivals; // the item reader's arrival times, unused here
};

} // namespace pellorin_py
