#pragma once
// The input scan: for each input in turn, the MUX register written (and nothing else), one
// acquisition, and the analysis library's figures of its samples; over every input again for
// each repeat. The MUX byte the chip held before is written back when the scan ends, is
// stopped or fails, wherever the board still answers. Runs on the thread that owns the board's
// link: the command line's, or the window's PortWorker. While it runs it counts as an
// acquisition (the board's acquiring flag), so the same commands are refused. No widgets: the
// window and the command line run the same function.

#include "scan_figures.h"
#include "scan_settings.h"

#include "platform/busy_flags.h"

#include <QObject>

class BoardLink;
class BoardSession;
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace scan {

// Where the scan is: input and repeat counted from 0.
struct ScanProgress {
    int input = 0;
    int inputs = 0;
    int repeat = 0;
    int repeats = 1;
};

enum class ScanFault {
    None,
    Busy,         // an acquisition, a register transfer or a calibration was running
    MuxRead,      // the MUX could not be read before the first switch
    MuxWrite,     // a switch failed
    Items,        // the items of an acquisition did not arrive
    ItemChecksum, // an item's checksum was wrong
};

enum class MuxPutBack {
    NotNeeded, // nothing was written, or the last switch was to the byte the chip held before
    Done,
    Failed, // the board did not take it: the chip may still be on a scanned input
};

struct ScanOutcome {
    std::vector<ScanRow> rows; // one per input, in order, with the repeats measured
    bool stopped = false;      // Stop was asked before the scan was through
    ScanFault fault = ScanFault::None;
    int result = 0;          // the link's failure code of the fault
    ScanProgress faultAt;    // where it failed
    bool muxKnown = false;   // the MUX was read before the first switch
    uint8_t muxBefore = 0;   // what it held then
    bool muxWritten = false; // a switch was sent
    MuxPutBack putBack = MuxPutBack::NotNeeded;
    int putBackResult = 0; // the link's failure code when the put-back failed
    // The board answered the scan's last exchange (a failure status is an answer): reading
    // its registers now will not just wait out the time limit.
    bool boardAnswered = false;

    bool complete() const { return !stopped && fault == ScanFault::None; }
};

// Called on the thread the scan runs on.
struct ScanHooks {
    QObject *owner = nullptr; // owner of the messages shown
    // Asked between acquisitions; true ends the scan there.
    std::function<bool()> stopRequested;
    // Before each acquisition.
    std::function<void(const ScanProgress &)> progress;
    // After each acquisition: the row of that input with its new repeat.
    std::function<void(int input, const ScanRow &row)> rowMeasured;
};

// The busy flag a scan holds for its length: the board's acquiring flag, taken only while no
// acquisition, register transfer or calibration runs on it.
class ScanBusyGuard : public BusyGuard {
  public:
    explicit ScanBusyGuard(BusyFlags &flags)
        : BusyGuard(flags.acquiring, {&flags.registerBusy, &flags.calibrating}) {}
};

// Scans settings.inputs on the board's chip, whose multiplexer layout describes, holding a
// ScanBusyGuard (ScanFault::Busy, with nothing sent, when it is refused). The settings must
// pass CheckScanSettings. Every failure is told with the program's own message before the
// scan returns ("Read Register Address 01 Failed !", "Write Register Address 01 Failed !",
// "Get item %d failed !", "The checksum of item %d is invalid !"); a failed put-back is told
// only when nothing else was.
ScanOutcome RunScan(BoardSession &board, const ScanSettings &settings, const MuxLayout &layout,
                    const ScanHooks &hooks);

// RunScan for a caller that holds the ScanBusyGuard itself, on the thread the busy flags live
// on, while the scan runs on another (the window's).
ScanOutcome RunHeldScan(BoardLink &link, const ScanSettings &settings, const MuxLayout &layout,
                        const ScanHooks &hooks);

} // namespace scan
