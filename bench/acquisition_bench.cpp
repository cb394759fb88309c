// Prints the acquisition's figures: items per second and the program's own overhead per item
// for 65535 items from the unpaced virtual board (read on a port worker as the window reads
// them, progress bar shown) against a plain bulk reader of the same bytes in the same run, each
// less its time for a 45-item acquisition, median of three, as a share of the items' wire time;
// then the drawing times of both charts and the peak memory. A benchmark, not a test: it
// asserts nothing. --png DIR also writes the two charts it timed as PNG files into DIR.

#include "plain_reader.h"

#include "acquisition/chart_font.h"
#include "acquisition/distribution.h"
#include "acquisition/distribution_chart.h"
#include "acquisition/line_chart.h"
#include "acquisition/samples.h"
#include "acquisition/statistics.h"
#include "acquisition/transfer.h"
#include "link/frames.h"
#include "link/port_worker.h"
#include "tests/support/board_on_pty.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QProgressBar>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kItems = kMaxItemsPerRequest;
// A request small enough that its time is the per-request cost alone (thread, request frame,
// bar, conversion set-up): taken off both readers' times, what is left is paid per item.
constexpr int kFewItems = 45;
constexpr int kRuns = 3;
constexpr double kWireSeconds = kItems * 4 * 10 / 115200.0; // 8N1: 10 bits a byte

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The program's way: the items on a thread of its own, the bar told of each new percent
// through the window's event queue, which runs meanwhile.
double programSeconds(BoardLink &link, std::vector<uint8_t> &items, int count, QProgressBar &bar,
                      int &progressCalls) {
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
    worker.start(link, [&] { report = ReceiveItems(link, items.data(), count, hooks); });
    worker.waitWithEvents();
    hooks.setProgress = [&](int p) {
        ++progressCalls;
        bar.setValue(p);
    };
    const int result = TellTransferEnd(report, hooks);
    g_sampleRecord.assign(items.data(), count);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (result != 0)
        std::printf("transfer failed: %d\n", result);
    return seconds;
}

// The same request, the same bytes, taken in bulk with nothing between reads.
double plainSeconds(BoardLink &link, std::vector<uint8_t> &items, int count) {
    QElapsedTimer timer;
    timer.start();
    const bool read = ReadItemsPlainly(link, items.data(), count);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!read)
        std::printf("plain read of %d items failed\n", count);
    return seconds;
}

struct Times {
    std::vector<double> program, plain;
};

void measureTransfer() {
    BoardOnPty board(sim::Chip::VXC5480, sim::Pacing::None);
    if (!board.start()) {
        std::printf("no pty available\n");
        return;
    }
    if (board.detect() != 1) {
        std::printf("detection failed\n");
        return;
    }
    BoardLink &link = board.link();
    QProgressBar bar;
    bar.setRange(0, 100);
    bar.show();
    QCoreApplication::processEvents();

    std::vector<uint8_t> items(kItems * 4);
    Times all, few;
    int progressCalls = 0;
    for (int run = 0; run < kRuns; ++run) {
        for (Times *times : {&few, &all}) {
            const int count = times == &all ? kItems : kFewItems;
            times->plain.push_back(plainSeconds(link, items, count));
            progressCalls = 0;
            times->program.push_back(programSeconds(link, items, count, bar, progressCalls));
        }
    }
    const double tProgram = median(all.program);
    const double tPlain = median(all.plain);
    const double fewProgram = median(few.program);
    const double fewPlain = median(few.plain);
    const double perItemUs =
        ((tProgram - fewProgram) - (tPlain - fewPlain)) / (kItems - kFewItems) * 1e6;
    std::printf("transfer of %d items (median of %d runs, unpaced virtual board on a pty)\n",
                kItems, kRuns);
    std::printf("  program (ReceiveItems on a port worker): %.3f s, %.0f items/s\n", tProgram,
                kItems / tProgram);
    std::printf("  plain bulk reader of the same bytes:     %.3f s, %.0f items/s\n", tPlain,
                kItems / tPlain);
    std::printf("  ratio program / plain: %.2f\n", tProgram / tPlain);
    std::printf("  a %d-item acquisition: program %.2f ms, plain %.2f ms\n", kFewItems,
                fewProgram * 1e3, fewPlain * 1e3);
    std::printf("  one-shot acquisition's per-item overhead (each reader's %d-item time less its "
                "%d-item time, program less plain): %.3f us per item, %.1f ms for %d items = "
                "%.2f %% of their %.3f s wire time at 115200 baud (target < 1 %%)\n",
                kItems, kFewItems, perItemUs, perItemUs * kItems / 1e3, kItems,
                100.0 * perItemUs * kItems / 1e6 / kWireSeconds, kWireSeconds);
    std::printf("  progress bar updates per %d-item transfer: %d\n", kItems, progressCalls);

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kItems; ++i)
        QCoreApplication::processEvents();
    std::printf("  an idle processEvents() alone: %.2f us\n", timer.nsecsElapsed() / 1e3 / kItems);
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
