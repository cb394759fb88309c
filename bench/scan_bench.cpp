// Prints the input scan's figures: the time of a scan of 8 inputs x 1000 samples (3 discarded
// after each switch) against the virtual 8-channel board at the wire's pace, run as the command
// line runs it (the window runs the same on a port worker), beside the wire time of every byte the
// scan moves: the items (kept and discarded) and the frames (the MUX read, a write per input, a
// request per input, the put-back, and their replies). A benchmark, not a test: it asserts nothing.
// --runs N repeats the scan (default 5) and prints the median too.

#include "chips/vxc5480/register_map.h"
#include "link/frames.h"
#include "scan/scan_engine.h"
#include "tests/support/board_on_pty.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
constexpr int kInputs = 8;
constexpr int kCount = 1000;
constexpr int kDiscard = 3;
constexpr double kSecondsPerByte = 10 / 115200.0; // 8N1: 10 bits a byte

struct WireBytes {
    double fromBoard = 0; // replies and items: the virtual board paces these
    double toBoard = 0;   // frames: they cross the pty at once
};

WireBytes wireBytes(const scan::ScanOutcome &outcome) {
    WireBytes bytes;
    const int exchanges = 1 + kInputs + (outcome.putBack == scan::MuxPutBack::Done ? 1 : 0);
    bytes.toBoard = (exchanges + kInputs) * kFrameSize;
    bytes.fromBoard = exchanges * kReplySize + double(kInputs) * (kCount + kDiscard) * kItemSize;
    return bytes;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    int runs = 5;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
    }
    BoardOnPty board(sim::Chip::VXC5480, sim::Pacing::Wire);
    if (!board.start())
        return 1;
    if (board.detect() != 1) {
        std::printf("the virtual board was not found\n");
        return 1;
    }
    scan::ScanSettings settings;
    settings.inputs = scan::SingleEndedInputs(vxc5480::kMuxLayout);
    settings.count = kCount;
    settings.discard = kDiscard;
    const scan::ScanHooks hooks;

    std::printf("scan of %d inputs x %d samples (%d discarded after each switch), wire-paced "
                "virtual board\n",
                kInputs, kCount, kDiscard);
    std::vector<double> overheads;
    for (int run = 0; run < runs; ++run) {
        // A MUX the scan does not visit, so every run ends with the put-back.
        board.board().setRegisterValue(vxc5480::kMux, 0x01);
        QElapsedTimer timer;
        timer.start();
        const scan::ScanOutcome outcome =
            scan::RunScan(*board.session(), settings, vxc5480::kMuxLayout, hooks);
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (!outcome.complete()) {
            std::printf("run %d: the scan did not complete\n", run + 1);
            return 1;
        }
        const WireBytes bytes = wireBytes(outcome);
        const double wire = (bytes.fromBoard + bytes.toBoard) * kSecondsPerByte;
        const double paced = bytes.fromBoard * kSecondsPerByte;
        const double overhead = 100.0 * (seconds - wire) / wire;
        overheads.push_back(overhead);
        std::printf("run %d: scan %.4f s; wire time %.4f s (items and replies %.4f s, frames "
                    "%.4f s); overhead %+.3f ms = %+.2f %% of the wire time (%+.2f %% beside "
                    "the paced bytes alone)\n",
                    run + 1, seconds, wire, paced, wire - paced, (seconds - wire) * 1e3, overhead,
                    100.0 * (seconds - paced) / paced);
    }
    std::printf("median overhead: %+.2f %% of the wire time (limit 2 %%)\n", median(overheads));
    return 0;
}
