// pellorin-evm-sim: serves virtual boards on pseudo-terminals until SIGINT or SIGTERM, each
// behind its stable link. Prints each board's link path, alone on a line and in order, as soon
// as all serve; takes unplug commands on standard input.

#include "sim/virtual_board.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

const char *const kUsage =
    "Usage: pellorin-evm-sim [--chip=VXC5480|VXC5420 | --boards=CHIP,CHIP,...]\n"
    "                        [--pace=real|wire|none] [--sine=FREQ_HZ:AMPLITUDE_V]\n"
    "                        [--signal=count]\n"
    "Serves virtual EVM boards on pseudo-terminals. Each board is reached through a\n"
    "stable link, <folder>/by-id/usb-Pellorin_Virtual_EVM_<SERIAL>-if00, that\n"
    "outlives an unplug; the links are printed one a line, in order, once all serve.\n"
    "  --chip=NAME     one board with this chip (default VXC5480)\n"
    "  --boards=LIST   one board for each chip named, serials PLR0001, PLR0002 ...;\n"
    "                  each has inputs, offsets and noise of its own\n"
    "  --pace=real     conversions at the chip's data rate, items no faster than\n"
    "                  the 115200-baud line (default)\n"
    "  --pace=wire     items at the line's pace whatever the data rate\n"
    "  --pace=none     as fast as the reader takes them\n"
    "  --sine=F:A      add a sine of F hertz and A volts amplitude to the inputs\n"
    "  --signal=count  codes 0, 1, 2, ... one per conversion, running on across\n"
    "                  acquisitions (24-bit wrap), in place of the inputs\n"
    "  --help          this text\n"
    "Commands on standard input, one a line, answered on standard error:\n"
    "  unplug BOARD SECONDS [reset]\n"
    "                  pulls board BOARD (its number from 1, or all) out: its line\n"
    "                  hangs up and its link goes; after SECONDS it serves again on a\n"
    "                  new pty behind the same link. With reset its chip comes back\n"
    "                  with the registers it has at power-up.\n"
    "SIGINT or SIGTERM ends it; the links and their folders go.\n";

bool StartsWith(const std::string &text, const char *prefix, std::string &rest) {
    const size_t n = std::strlen(prefix);
    if (text.compare(0, n, prefix) != 0)
        return false;
    rest = text.substr(n);
    return true;
}

bool ParseChipList(const std::string &text, std::vector<sim::Chip> &chips) {
    chips.clear();
    std::stringstream list(text);
    std::string name;
    while (std::getline(list, name, ',')) {
        sim::Chip chip;
        if (!sim::ParseChip(name, chip))
            return false;
        chips.push_back(chip);
    }
    return !chips.empty() && text.back() != ',';
}

using Boards = std::vector<std::unique_ptr<sim::VirtualBoard>>;

// One line of standard input; the answer, or why it was refused, goes to standard error.
void RunCommand(std::string line, Boards &boards) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    std::istringstream words(line);
    std::string verb, which, seconds, reset, extra;
    words >> verb >> which >> seconds >> reset >> extra;
    if (verb.empty())
        return;
    if (verb != "unplug" || seconds.empty() || !extra.empty() ||
        (!reset.empty() && reset != "reset")) {
        std::fprintf(stderr,
                     "pellorin-evm-sim: unknown command '%s' (unplug BOARD SECONDS "
                     "[reset])\n",
                     line.c_str());
        return;
    }
    char *end = nullptr;
    const double away = std::strtod(seconds.c_str(), &end);
    if (end != seconds.c_str() + seconds.size() || !std::isfinite(away) || away < 0 ||
        away > 86400) {
        std::fprintf(stderr, "pellorin-evm-sim: '%s' is no number of seconds (0 to 86400)\n",
                     seconds.c_str());
        return;
    }
    size_t first = 0, last = boards.size();
    if (which != "all") {
        const long number = std::strtol(which.c_str(), &end, 10);
        if (end != which.c_str() + which.size() || number < 1 ||
            number > static_cast<long>(boards.size())) {
            std::fprintf(stderr, "pellorin-evm-sim: no board '%s' (1 to %zu, or all)\n",
                         which.c_str(), boards.size());
            return;
        }
        first = static_cast<size_t>(number - 1);
        last = first + 1;
    }
    const auto duration = std::chrono::milliseconds(std::llround(away * 1000));
    for (size_t i = first; i < last; ++i) {
        boards[i]->unplug(duration, !reset.empty());
        std::fprintf(stderr, "pellorin-evm-sim: board %zu unplugged for %g s%s\n", i + 1, away,
                     reset.empty() ? "" : ", registers reset");
    }
}

} // namespace

int main(int argc, char **argv) {
    std::vector<sim::Chip> chips{sim::Chip::VXC5480};
    sim::Pacing pacing = sim::Pacing::Real;
    double sineHz = 0, sineVolts = 0;
    bool counting = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        sim::Chip chip;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (StartsWith(arg, "--chip=", value) && sim::ParseChip(value, chip)) {
            chips = {chip};
            continue;
        }
        if (StartsWith(arg, "--boards=", value) && ParseChipList(value, chips))
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

    // Block the stop signals before any serving thread exists, so only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Boards boards;
    for (size_t i = 0; i < chips.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        auto board = std::make_unique<sim::VirtualBoard>(chips[i]);
        char serial[16];
        std::snprintf(serial, sizeof serial, "PLR%04d", number);
        board->setSerial(serial);
        board->setPacing(pacing);
        sim::SignalModel signal = sim::BoardSignal(chips[i], number);
        signal.sineHz = sineHz;
        signal.sineAmplitudeVolts = sineVolts;
        signal.counting = counting;
        board->setSignal(signal);
        if (!board->start()) {
            std::fputs("pellorin-evm-sim: no pseudo-terminal could be opened\n", stderr);
            return 1; // the boards started so far remove their links as they go
        }
        boards.push_back(std::move(board));
    }
    for (const auto &board : boards)
        std::printf("%s\n", board->linkPath().c_str());
    std::fflush(stdout);

    // Commands and the end never meet half way: the boards go only between two commands.
    std::mutex commandMutex;
    bool ending = false;
    std::thread commands([&] {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, stdin)) {
            const std::lock_guard<std::mutex> lock(commandMutex);
            if (ending)
                return;
            RunCommand(buffer, boards);
        }
    });
    commands.detach(); // it may wait on a standard input that never ends

    int received = 0;
    sigwait(&stopSignals, &received);
    const std::lock_guard<std::mutex> lock(commandMutex);
    ending = true;
    for (auto &board : boards)
        board->stop();
    std::fflush(stderr);
    std::_Exit(0); // the command thread may still wait on standard input
}
