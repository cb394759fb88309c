// Prints the acquisition's figures: items per second and the program's own overhead per item
// for 65535 items from the unpaced virtual board (read on a port worker as the window reads
// them, progress bar shown), the same bytes taken by a plain bulk reader in the same run, the
// drawing times of both charts and the peak memory. A benchmark, not a test: it asserts nothing.
// --png DIR also writes the two charts it timed as PNG files into DIR.

#include "acquisition/chart_font.h"
#include "acquisition/distribution.h"
#include "acquisition/distribution_chart.h"
#include "acquisition/line_chart.h"
#include "acquisition/samples.h"
#include "acquisition/statistics.h"
#include "acquisition/transfer.h"
#include "link/chip_catalog.h"
#include "link/frames.h"
#include "link/port_worker.h"
#include "link/protocol.h"
#include "link/serial_transport.h"
#include "sim/virtual_board.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QProgressBar>
#include <QSerialPort>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kItems = kMaxItemsPerRequest;
constexpr double kWireSeconds = kItems * 4 * 10 / 115200.0; // 8N1: 10 bits a byte

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The program's way: one read per item on a thread of its own, the bar told of each new percent
// through the window's event queue, which runs meanwhile.
double programSeconds(std::vector<uint8_t> &items, QProgressBar &bar, int &progressCalls) {
    TransferHooks hooks;
    hooks.setProgress = [&](int p) {
        QMetaObject::invokeMethod(
            &bar,
            [&bar, &progressCalls, p] {
                ++progressCalls;
                bar.setValue(p);
            },
            Qt::QueuedConnection);
    };
    QElapsedTimer timer;
    timer.start();
    TransferReport report;
    PortWorker worker;
    worker.start([&] { report = ReceiveItems(items.data(), kItems, hooks); });
    worker.waitWithEvents();
    hooks.setProgress = [&](int p) {
        ++progressCalls;
        bar.setValue(p);
    };
    const int result = TellTransferEnd(report, hooks);
    g_sampleRecord.assign(items.data(), kItems);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (result != 0)
        std::printf("transfer failed: %d\n", result);
    return seconds;
}

// The same request, the same bytes, taken in bulk with nothing between reads.
double plainSeconds(std::vector<uint8_t> &items) {
    const CommandFrame frame = BuildAcquisitionFrame(g_chipId, kItems);
    QElapsedTimer timer;
    timer.start();
    WriteFrame(frame.data(), kWriteWaitMs);
    qint64 received = 0;
    const qint64 total = static_cast<qint64>(items.size());
    while (received < total) {
        const qint64 n =
            g_port->read(reinterpret_cast<char *>(items.data()) + received, total - received);
        if (n > 0)
            received += n;
        else if (!g_port->waitForReadyRead(3000))
            break;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (received != total)
        std::printf("plain read stopped after %lld bytes\n", static_cast<long long>(received));
    return seconds;
}

void measureTransfer() {
    sim::VirtualBoard board(sim::Chip::VXC5480);
    board.setPacing(sim::Pacing::None);
    if (!board.start()) {
        std::printf("no pty available\n");
        return;
    }
    SetPreferredPorts({QString::fromStdString(board.portPath())});
    g_chipId = chip_id::kVxc5480;
    if (DetectEvm() != 1) {
        std::printf("detection failed\n");
        return;
    }
    QProgressBar bar;
    bar.setRange(0, 100);
    bar.show();
    QCoreApplication::processEvents();

    std::vector<uint8_t> items(kItems * 4);
    std::vector<double> program, plain;
    int progressCalls = 0;
    for (int run = 0; run < 5; ++run) {
        plain.push_back(plainSeconds(items));
        progressCalls = 0;
        program.push_back(programSeconds(items, bar, progressCalls));
    }
    const double tProgram = median(program);
    const double tPlain = median(plain);
    const double overheadUs = (tProgram - tPlain) / kItems * 1e6;
    std::printf("transfer of %d items (median of 5 runs, unpaced virtual board on a pty)\n",
                kItems);
    std::printf("  program (read per item on a port worker):   %.3f s, %.0f items/s\n", tProgram,
                kItems / tProgram);
    std::printf("  plain bulk reader of the same bytes:         %.3f s, %.0f items/s\n", tPlain,
                kItems / tPlain);
    std::printf("  ratio program / plain: %.2f\n", tProgram / tPlain);
    std::printf("  program overhead: %.2f us per item, %.3f s in all = %.2f %% of the %.2f s "
                "wire time at 115200 baud (target < 1 %%)\n",
                overheadUs, overheadUs * kItems / 1e6,
                100.0 * overheadUs * kItems / 1e6 / kWireSeconds, kWireSeconds);
    std::printf("  progress bar updates per transfer: %d\n", progressCalls);

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kItems; ++i)
        QCoreApplication::processEvents();
    std::printf("  an idle processEvents() alone: %.2f us\n", timer.nsecsElapsed() / 1e3 / kItems);
    ClosePort();
}

template <typename F> double medianMs(int runs, F &&draw) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        draw();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(ms);
}

void measureDrawing(const char *pngDir) {
    std::vector<int32_t> samples = g_samples;
    if (samples.empty()) {
        for (int i = 0; i < kItems; ++i)
            samples.push_back(1000 + (i * 7919) % 401 - 200);
    }
    ChartState state;
    UpdateStatistics(samples, state);
    const ChartColors colors;
    const QFont font = MakeChartFont();
    const QSize size(560, 360);
    QImage line, dist;
    const double lineMs =
        medianMs(200, [&] { line = DrawLineChart(size, samples, 1000, state, colors, font); });
    const double distMs = medianMs(50, [&] {
        dist = DrawDistribution(size, true, ComputeDistribution(samples), state, colors, font);
    });
    std::printf("drawing %dx%d (median): line chart %.3f ms, distribution of %zu samples "
                "(computation included) %.3f ms\n",
                size.width(), size.height(), lineMs, samples.size(), distMs);
    if (pngDir) {
        line.save(QString::fromLocal8Bit(pngDir) + "/pellorin-line.png");
        dist.save(QString::fromLocal8Bit(pngDir) + "/pellorin-dist.png");
        std::printf("charts written to %s/pellorin-line.png and pellorin-dist.png\n", pngDir);
    }
}
} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const char *pngDir = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (QByteArray(argv[i]) == "--png")
            pngDir = argv[i + 1];
    }
    measureTransfer();
    measureDrawing(pngDir);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory (max RSS): %.1f MiB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
