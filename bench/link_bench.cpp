// Prints the link's figures against the unpaced virtual board on a pty, and the time from
// program start to the main window shown. A benchmark, not a test: it asserts nothing.

#include "app/pellorin_dlg.h"
#include "link/protocol.h"
#include "tests/support/board_on_pty.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double medianMs(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void measureStartUp(QElapsedTimer &sinceStart) {
    const double appMs = sinceStart.nsecsElapsed() / 1e6;
    CPellorinDlg window;
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents();
    std::printf("start-up: QApplication ready %.1f ms, main window shown %.1f ms\n", appMs,
                sinceStart.nsecsElapsed() / 1e6);
}

void measureLink() {
    BoardOnPty board(sim::Chip::VXC5480, sim::Pacing::Wire);
    if (!board.start()) {
        std::printf("no pty available\n");
        return;
    }

    std::vector<double> detectAndRead;
    for (int run = 0; run < 20; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (board.detect() != 1) {
            std::printf("detection failed\n");
            return;
        }
        uint8_t value = 0;
        for (uint8_t address = 0; address <= 0x0A; ++address)
            ReadRegister(board.link(), address, value);
        detectAndRead.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::vector<double> roundTrips;
    for (int i = 0; i < 2000; ++i) {
        QElapsedTimer timer;
        timer.start();
        uint8_t value = 0;
        ReadRegister(board.link(), 0x03, value);
        roundTrips.push_back(timer.nsecsElapsed() / 1e3);
    }
    std::printf("register read round trip over the pty: median %.1f us (2000 reads)\n",
                medianMs(roundTrips));
    std::printf("detection + 11 register reads: median %.2f ms (20 runs)\n",
                medianMs(detectAndRead));
    std::printf("for comparison, a 115200-baud wire needs %.2f ms for one read's 9 bytes\n",
                9 * 10 / 115.2);
}

} // namespace

int main(int argc, char **argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    measureStartUp(sinceStart);
    measureLink();
    return 0;
}
