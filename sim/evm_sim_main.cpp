// pellorin-evm-sim: serves the virtual board on a pseudo-terminal until SIGINT or SIGTERM.
// Prints the port path, alone on one line, as soon as the board serves.

#include "sim/virtual_board.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char *const kUsage =
    "Usage: pellorin-evm-sim [--chip=VXC5480|VXC5420] [--pace=real|wire|none]\n"
    "                        [--sine=FREQ_HZ:AMPLITUDE_V] [--signal=count]\n"
    "Serves the virtual EVM board on a pseudo-terminal and prints its port path.\n"
    "  --chip=NAME     the chip on the board (default VXC5480)\n"
    "  --pace=real     conversions at the chip's data rate, items no faster than\n"
    "                  the 115200-baud line (default)\n"
    "  --pace=wire     items at the line's pace whatever the data rate\n"
    "  --pace=none     as fast as the reader takes them\n"
    "  --sine=F:A      add a sine of F hertz and A volts amplitude to the inputs\n"
    "  --signal=count  codes 0, 1, 2, ... one per conversion, running on across\n"
    "                  acquisitions (24-bit wrap), in place of the inputs\n"
    "  --help          this text\n";

bool StartsWith(const std::string &text, const char *prefix, std::string &rest) {
    const size_t n = std::strlen(prefix);
    if (text.compare(0, n, prefix) != 0)
        return false;
    rest = text.substr(n);
    return true;
}

} // namespace

int main(int argc, char **argv) {
    sim::Chip chip = sim::Chip::VXC5480;
    sim::Pacing pacing = sim::Pacing::Real;
    double sineHz = 0, sineVolts = 0;
    bool counting = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (StartsWith(arg, "--chip=", value) && sim::ParseChip(value, chip))
            continue;
        if (StartsWith(arg, "--pace=", value) && sim::ParsePacing(value, pacing))
            continue;
        if (StartsWith(arg, "--sine=", value) && sim::ParseSine(value, sineHz, sineVolts))
            continue;
        if (arg == "--signal=count") {
            counting = true;
            continue;
        }
        std::fprintf(stderr, "pellorin-evm-sim: bad argument '%s'\n%s", arg.c_str(), kUsage);
        return 2;
    }

    // Block the stop signals before the serving thread exists, so only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    sim::VirtualBoard board(chip);
    board.setPacing(pacing);
    if (sineHz > 0 || counting) {
        sim::SignalModel signal = sim::DefaultSignal(chip);
        signal.sineHz = sineHz;
        signal.sineAmplitudeVolts = sineVolts;
        signal.counting = counting;
        board.setSignal(signal);
    }
    if (!board.start()) {
        std::fputs("pellorin-evm-sim: no pseudo-terminal could be opened\n", stderr);
        return 1;
    }
    std::printf("%s\n", board.portPath().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    board.stop();
    return 0;
}
