// Prints the continuous capture's figures. A benchmark, not a test: it asserts nothing.
//   1. Unpaced: the capture engine's sustained items per second (HDF5, blocks of 65535)
//      against a plain bulk reader of the same number of items, in the same run.
//   2. A simulated hour (10,368,000 samples, 2880 a second at the wire's pace, in blocks of
//      2880) from the unpaced board into HDF5 with the live view's envelope fed: resident
//      memory after the first minute's worth and after the hour, and the dead time.
//   3. With --wire: at the 115200-baud pace, the GUI thread's CPU and the event loop's longest
//      wait for the one-shot acquisition of 65535 items (with its transfer thread's CPU); then
//      the capture window (capture_window_bench.cpp): a message box held open, 2.5 SPS, the
//      rate, the CPU.
// Usage: pellorin-bench-capture [--wire] [--samples N]

#include "capture_window_bench.h"
#include "plain_reader.h"

#include "acquisition/transfer.h"
#include "capture/capture_engine.h"
#include "capture/capture_facts.h"
#include "capture/run_envelope.h"
#include "link/frames.h"
#include "link/port_worker.h"
#include "tests/support/board_on_pty.h"
#include "tests/support/chip_facts_at.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMetaObject>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace {
constexpr int64_t kHourSamples = 10368000; // 2880 items a second for 3600 s
constexpr int64_t kMinuteSamples = 172800;

double rssMiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * sysconf(_SC_PAGESIZE) / 1048576.0 : 0;
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

capture::CaptureFacts benchFacts() {
    return capture::MakeFacts("VXC5480", {}, Vxc5480GainOneAt(0.0), QDateTime::currentDateTime());
}

// The same requests, the same bytes, taken in bulk with nothing between reads.
double plainSeconds(BoardLink &link, int64_t items) {
    std::vector<uint8_t> buffer(kMaxItemsPerRequest * kItemSize);
    QElapsedTimer timer;
    timer.start();
    for (int64_t left = items; left > 0;) {
        const int count = static_cast<int>(std::min<int64_t>(left, kMaxItemsPerRequest));
        if (!ReadItemsPlainly(link, buffer.data(), count))
            std::printf("plain read of %d items failed\n", count);
        left -= count;
    }
    return timer.nsecsElapsed() / 1e9;
}

void measureUnpaced(int64_t hourSamples) {
    BoardOnPty board(sim::Chip::VXC5480, sim::Pacing::None);
    if (!board.start() || board.detect() != 1) {
        std::printf("no board\n");
        return;
    }
    QTemporaryDir dir;
    constexpr int64_t kCompared = int64_t{kMaxItemsPerRequest} * 8;
    std::vector<double> engine, plain;
    for (int run = 0; run < 3; ++run) {
        plain.push_back(plainSeconds(board.link(), kCompared));
        capture::CaptureSettings s;
        s.path = dir.filePath(QStringLiteral("speed%1.h5").arg(run));
        s.stop = capture::StopRule::Samples;
        s.samples = kCompared;
        s.blockItems = 65535;
        capture::CaptureEngine e(*board.session(), s, benchFacts(), {});
        engine.push_back(e.run().seconds);
    }
    std::sort(engine.begin(), engine.end());
    std::sort(plain.begin(), plain.end());
    std::printf("unpaced, %lld items (8 blocks of 65535), median of 3 runs\n",
                static_cast<long long>(kCompared));
    std::printf("  capture engine (HDF5, blocks flushed and synced): %.3f s, %.0f items/s\n",
                engine[1], kCompared / engine[1]);
    std::printf("  plain bulk reader of the same requests:           %.3f s, %.0f items/s\n",
                plain[1], kCompared / plain[1]);
    std::printf("  ratio engine / plain: %.2f (target <= 1.2)\n", engine[1] / plain[1]);

    capture::RunEnvelope envelope;
    capture::CaptureSettings s;
    s.path = dir.filePath(QStringLiteral("hour.h5"));
    s.stop = capture::StopRule::Samples;
    s.samples = hourSamples;
    s.blockItems = 2880; // a second at the wire's pace, the default block of the 30000 SPS chip
    capture::CaptureHooks hooks;
    int64_t seen = 0;
    double afterMinute = 0;
    hooks.onWritten = [&](std::span<const int32_t> codes) {
        for (int32_t code : codes)
            envelope.add(code);
        // The virtual board keeps a copy of every item it sends, for tests: not the program's.
        if ((seen + static_cast<int64_t>(codes.size())) / kMaxItemsPerRequest !=
            seen / kMaxItemsPerRequest)
            board.board().clearSentItemBytes();
        if (seen < kMinuteSamples && seen + static_cast<int64_t>(codes.size()) >= kMinuteSamples)
            afterMinute = rssMiB();
        seen += static_cast<int64_t>(codes.size());
    };
    capture::CaptureEngine hour(*board.session(), s, benchFacts(), hooks);
    const capture::CaptureResult result = hour.run();
    const double afterHour = rssMiB();
    std::printf("simulated hour: %lld samples in %.1f s (%s), %d blocks, file %.1f MiB\n",
                static_cast<long long>(result.samples), result.seconds,
                qPrintable(result.stoppedBy), result.blocks, QFileInfo(s.path).size() / 1048576.0);
    std::printf("  RSS after the first minute's samples: %.1f MiB, after the hour: %.1f MiB, "
                "growth %.2f MiB (target <= 5)\n",
                afterMinute, afterHour, afterHour - afterMinute);
    std::printf("  dead time (the board unpaced, so only its pauses count): %.1f ms in all, "
                "longest gap %.2f ms\n",
                result.deadSeconds * 1e3, result.longestDeadSeconds * 1e3);
}

// How late a 4 ms timer fires at worst while body runs: the event loop's answer time.
struct Responsiveness {
    double worstMs = 0;
    int ticks = 0;
};

template <typename F> double onGuiThread(Responsiveness &r, F &&body) {
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(4);
    QElapsedTimer since;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (since.isValid())
            r.worstMs = std::max(r.worstMs, since.nsecsElapsed() / 1e6 - 4.0);
        ++r.ticks;
        since.restart();
    });
    timer.start();
    since.start();
    const double cpu0 = threadCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    body();
    const double cpu = threadCpuSeconds() - cpu0;
    return 100.0 * cpu / (wall.nsecsElapsed() / 1e9);
}

void measureOneShot() {
    BoardOnPty board(sim::Chip::VXC5480, sim::Pacing::Wire);
    if (!board.start() || board.detect() != 1) {
        std::printf("no board\n");
        return;
    }
    QProgressBar bar;
    bar.setRange(0, 100);
    bar.show();
    std::vector<uint8_t> items(kMaxItemsPerRequest * kItemSize);
    Responsiveness oneShot;
    // As the window runs it: the items on a port worker, the bar through the event queue.
    double workerCpu = 0;
    double oneShotWall = 0;
    const double oneShotCpu = onGuiThread(oneShot, [&] {
        TransferHooks hooks;
        hooks.setProgress = [&bar](int p) {
            QMetaObject::invokeMethod(
                &bar, [&bar, p] { bar.setValue(p); }, Qt::QueuedConnection);
        };
        QElapsedTimer wall;
        wall.start();
        PortWorker worker;
        BoardLink &link = board.link();
        worker.start(link, [&] {
            const double cpu0 = threadCpuSeconds();
            ReceiveItems(link, items.data(), kMaxItemsPerRequest, hooks);
            workerCpu = threadCpuSeconds() - cpu0;
        });
        worker.waitWithEvents();
        oneShotWall = wall.nsecsElapsed() / 1e9;
    });
    std::printf("at the wire's pace (115200 baud)\n");
    std::printf("  one-shot acquisition of 65535 items: CPU %.2f %% of one core on the GUI thread "
                "and %.2f %% on the transfer's (target <= 3 together), event loop late by %.1f "
                "ms at worst (target <= 16), %d timer ticks\n",
                oneShotCpu, 100.0 * workerCpu / oneShotWall, oneShot.worstMs, oneShot.ticks);
}
} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool wire = false;
    int64_t hour = kHourSamples;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--wire")
            wire = true;
        else if (QByteArray(argv[i]) == "--samples" && i + 1 < argc)
            hour = QByteArray(argv[++i]).toLongLong();
    }
    measureUnpaced(hour);
    if (wire) {
        measureOneShot();
        MeasureWindowCapture();
    }
    return 0;
}
