#include "scan_engine.h"

#include "scan_acquire.h"

#include "link/board_session.h"
#include "link/protocol.h"
#include "link/register_range.h"
#include "link/result_codes.h"

namespace scan {
namespace {
// What the chip's MUX holds as far as the scan knows: the byte last confirmed, or -1 once a
// write went unconfirmed.
struct MuxState {
    bool written = false; // a switch was sent
    int confirmed = -1;
};

ScanFault acquisitionFault(int status) {
    return status == result::kBadReply ? ScanFault::ItemChecksum : ScanFault::Items;
}

// A reply came, even one that failed its checksum or carried a failure status.
bool answered(int status) {
    return status == result::kOk || status == result::kBadReply;
}

void putBack(BoardLink &link, const MuxLayout &layout, const MuxState &mux, const ScanHooks &hooks,
             ScanOutcome &outcome) {
    if (!mux.written || mux.confirmed == int{outcome.muxBefore})
        return;
    // After a fault the user has been told already; a second box would only repeat it.
    const int status = outcome.fault == ScanFault::None
                           ? WriteRegisterAt(link, layout.address, outcome.muxBefore, hooks.owner)
                           : WriteRegister(link, layout.address, outcome.muxBefore);
    outcome.putBack = status == result::kOk ? MuxPutBack::Done : MuxPutBack::Failed;
    outcome.putBackResult = status;
    outcome.boardAnswered = answered(status);
}
} // namespace

ScanOutcome RunScan(BoardSession &board, const ScanSettings &settings, const MuxLayout &layout,
                    const ScanHooks &hooks) {
    // The scan counts as an acquisition for as long as it runs; it starts only when nothing
    // else talks to the chip.
    const ScanBusyGuard busy(board.busy());
    if (!busy) {
        ScanOutcome outcome;
        for (const ScanInput &input : settings.inputs)
            outcome.rows.push_back({input, {}});
        outcome.fault = ScanFault::Busy;
        return outcome;
    }
    return RunHeldScan(board.link(), settings, layout, hooks);
}

ScanOutcome RunHeldScan(BoardLink &link, const ScanSettings &settings, const MuxLayout &layout,
                        const ScanHooks &hooks) {
    ScanOutcome outcome;
    for (const ScanInput &input : settings.inputs)
        outcome.rows.push_back({input, {}});
    if (const int status = ReadRegisterAt(link, layout.address, outcome.muxBefore, hooks.owner)) {
        outcome.fault = ScanFault::MuxRead;
        outcome.result = status;
        outcome.boardAnswered = answered(status);
        return outcome;
    }
    outcome.muxKnown = true;
    outcome.boardAnswered = true;

    ScanAcquirer acquirer(link, hooks.owner);
    MuxState mux;
    ScanProgress at;
    at.inputs = static_cast<int>(settings.inputs.size());
    at.repeats = settings.repeats;
    // Repeats pass over every input again, so each acquisition follows a switch and drift
    // shows in the spread rather than in one input.
    for (at.repeat = 0; at.repeat < settings.repeats && outcome.complete(); ++at.repeat) {
        for (at.input = 0; at.input < at.inputs; ++at.input) {
            if (hooks.stopRequested && hooks.stopRequested()) {
                outcome.stopped = true;
                break;
            }
            if (hooks.progress)
                hooks.progress(at);
            const ScanInput input = settings.inputs[static_cast<size_t>(at.input)];
            const uint8_t byte = layout.muxByte(outcome.muxBefore, input.positive, input.negative);
            if (!mux.written || mux.confirmed != int{byte}) {
                mux.written = true;
                mux.confirmed = -1;
                if (const int status = WriteRegisterAt(link, layout.address, byte, hooks.owner)) {
                    outcome.fault = ScanFault::MuxWrite;
                    outcome.result = status;
                    outcome.faultAt = at;
                    outcome.boardAnswered = answered(status);
                    break;
                }
                mux.confirmed = byte;
            }
            analysis::NoiseFigures figures;
            if (const int status = acquirer.acquire(settings.discard, settings.count, figures)) {
                outcome.fault = acquisitionFault(status);
                outcome.result = status;
                outcome.faultAt = at;
                // Every item of a request with a wrong checksum arrived; a missing one did not.
                outcome.boardAnswered = outcome.fault == ScanFault::ItemChecksum;
                break;
            }
            ScanRow &row = outcome.rows[static_cast<size_t>(at.input)];
            row.repeats.push_back(figures);
            if (hooks.rowMeasured)
                hooks.rowMeasured(at.input, row);
        }
    }
    outcome.muxWritten = mux.written;
    putBack(link, layout, mux, hooks, outcome);
    return outcome;
}

} // namespace scan
