#include "capture_window_bench.h"

#include "capture/block_plan.h"
#include "capture/capture_dlg.h"
#include "capture/capture_facts.h"
#include "capture/stream_timing.h"
#include "chips/vxc5420/chip_facts.h"
#include "chips/vxc5420/register_fields.h"
#include "chips/vxc5480/chip_facts.h"
#include "chips/vxc5480/register_fields.h"
#include "link/chip_catalog.h"
#include "link/detection.h"
#include "link/frames.h"
#include "link/protocol.h"
#include "tests/support/board_on_pty.h"
#include "tests/support/chip_facts_at.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

capture::CaptureFacts factsAt(double sps) {
    return capture::MakeFacts("VXC5480", {}, Vxc5480GainOneAt(sps), QDateTime::currentDateTime());
}

void runEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitForEnd(CCaptureDlg &window) {
    QElapsedTimer limit;
    limit.start();
    while (window.running() && limit.elapsed() < 60000)
        runEvents(5);
    return !window.running();
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

// What the board sent, seen from its side: a thread notes every change of its byte count.
class BoardWatch {
  public:
    explicit BoardWatch(const sim::VirtualBoard &board) : m_board(board) {
        m_clock.start();
        m_thread = std::thread([this] {
            uint64_t last = m_board.sentByteCount();
            while (!m_stop) {
                const uint64_t now = m_board.sentByteCount();
                if (now != last) {
                    const std::lock_guard<std::mutex> lock(m_mutex);
                    m_changes.push_back({m_clock.nsecsElapsed() / 1e9, now});
                    last = now;
                }
                std::this_thread::sleep_for(std::chrono::microseconds(250));
            }
        });
    }
    ~BoardWatch() { stop(); }
    void stop() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    double seconds() const { return m_clock.nsecsElapsed() / 1e9; }
    // Items a second over the last 10 s, as the board sent them.
    double rate() const {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_changes.size() < 2)
            return 0;
        const Change &last = m_changes.back();
        size_t i = 0;
        while (i + 1 < m_changes.size() && m_changes[i + 1].seconds <= last.seconds - 10.0)
            ++i;
        return (last.bytes - m_changes[i].bytes) / double(kItemSize) /
               (last.seconds - m_changes[i].seconds);
    }
    // From from to to: the longest time without a byte, and the dead time by the program's own
    // rule (lateness beyond one period an item, paid back by bursts).
    void gaps(double from, double to, double period, double &longest, double &dead) const {
        const std::lock_guard<std::mutex> lock(m_mutex);
        capture::StreamTiming timing(period);
        longest = 0;
        const Change *previous = nullptr;
        for (const Change &c : m_changes) {
            if (c.seconds < from || c.seconds > to)
                continue;
            if (previous) {
                longest = std::max(longest, c.seconds - previous->seconds);
                timing.onRead(c.seconds, static_cast<int>((c.bytes - previous->bytes) / kItemSize),
                              false);
            } else {
                timing.start(c.seconds);
            }
            previous = &c;
        }
        dead = timing.deadSeconds();
    }

  private:
    struct Change {
        double seconds;
        uint64_t bytes;
    };
    const sim::VirtualBoard &m_board;
    QElapsedTimer m_clock;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<Change> m_changes;
};

int64_t lostInCount(const std::vector<int32_t> &codes) {
    int64_t lost = 0;
    for (size_t i = 1; i < codes.size(); ++i)
        lost += ((codes[i] - codes[i - 1]) & 0xFFFFFF) - 1;
    return lost;
}

std::vector<int32_t> csvCodes(const QString &path) {
    std::vector<int32_t> codes;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return codes;
    bool header = false;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line == "index,time_s,code,volts")
            header = true;
        else if (header && !line.isEmpty() && !line.startsWith('#'))
            codes.push_back(line.split(',').value(2).toInt());
    }
    return codes;
}

// A board on a pty at pacing with the counting signal, detected: null when none answered.
std::unique_ptr<BoardOnPty> countingBoard(sim::Chip chip, sim::Pacing pacing) {
    auto board = std::make_unique<BoardOnPty>(chip, pacing);
    sim::SignalModel counting;
    counting.counting = true;
    board->board().setSignal(counting);
    if (!board->start() || board->detect() != 1)
        return nullptr;
    return board;
}

// The capture window driving board, with fixed facts where a chip panel would give its own.
struct Window {
    Window(BoardSession &board, double sps) : Window(board, factsAt(sps)) {}
    Window(BoardSession &board, const capture::CaptureFacts &facts) {
        CaptureWindowHooks hooks;
        hooks.board = [&board] { return &board; };
        hooks.factsFromPanel = [facts](std::optional<double>) {
            return std::optional<capture::CaptureFacts>(facts);
        };
        dlg = std::make_unique<CCaptureDlg>(hooks);
        dlg->show();
    }
    std::unique_ptr<CCaptureDlg> dlg;
};

void measureStall() {
    const std::unique_ptr<BoardOnPty> pty = countingBoard(sim::Chip::VXC5480, sim::Pacing::Wire);
    if (!pty) {
        std::printf("no board\n");
        return;
    }
    const sim::VirtualBoard &board = pty->board();
    QTemporaryDir dir;
    Window w(*pty->session(), 30000);
    CCaptureDlg &window = *w.dlg;
    window.pathEdit()->setText(dir.filePath(QStringLiteral("stall.csv")));
    window.formatList()->setCurrentIndex(1);
    QCoreApplication::processEvents();
    BoardWatch watch(board);
    window.startButton()->click();
    runEvents(11000);
    const double shownRate = window.readouts()[2]->text().section(u' ', 0, 0).toDouble();
    const double boardRate = watch.rate();

    const double boxFrom = watch.seconds();
    QMessageBox box(QMessageBox::Information, QStringLiteral("About"),
                    QStringLiteral("Held open for 10 s"), QMessageBox::Ok, &window);
    QTimer::singleShot(10000, &box, &QMessageBox::accept);
    box.exec();
    const double boxTo = watch.seconds();
    // Then the window's thread held without any event at all.
    QThread::msleep(10000);
    const double heldTo = watch.seconds();
    runEvents(2000);
    window.stopButton()->click();
    waitForEnd(window);
    watch.stop();
    const capture::CaptureResult &result = window.lastResult();
    const std::vector<int32_t> codes = csvCodes(dir.filePath(QStringLiteral("stall.csv")));
    const double period = capture::ConversionPeriod(30000);
    double boxLongest = 0, boxDead = 0, heldLongest = 0, heldDead = 0, allLongest = 0, allDead = 0;
    watch.gaps(boxFrom, boxTo, period, boxLongest, boxDead);
    watch.gaps(boxTo, heldTo, period, heldLongest, heldDead);
    watch.gaps(0, 1e9, period, allLongest, allDead);
    std::printf("capture window at the wire's pace (VXC5480 at 30000 SPS, counting), %.1f s, %lld "
                "samples, a message box open 10 s and then the window's thread held 10 s\n",
                result.seconds, static_cast<long long>(result.samples));
    std::printf("  samples lost (from the counting codes): %lld (target 0); file %zu samples, "
                "written %lld\n",
                static_cast<long long>(lostInCount(codes)), codes.size(),
                static_cast<long long>(result.samples));
    std::printf("  board side, longest time without a byte: %.1f ms during the box, %.1f ms while "
                "held, %.1f ms in the whole run (target <= 50)\n",
                boxLongest * 1e3, heldLongest * 1e3, allLongest * 1e3);
    std::printf("  dead time, board side by the same rule: %.1f ms in all (%.1f during the box, "
                "%.1f while held); the program's figure: %.1f ms in all, longest gap %.1f ms\n",
                allDead * 1e3, boxDead * 1e3, heldDead * 1e3, result.deadSeconds * 1e3,
                result.longestDeadSeconds * 1e3);
    std::printf("  rate after 11 s: shown %.1f samples/s, the board's over the same 10 s %.1f "
                "(%+.2f %%, target within 1 %%)\n",
                shownRate, boardRate, 100.0 * (shownRate - boardRate) / boardRate);
}

// The chip's slowest rate, set over the wire: the VXC5480's DRATE 0x03 (2.5 SPS), the
// VXC5420's Command Mode with CR1's rate bits 0 (10 SPS). The facts come from the chip's core
// on the registers the board then holds.
std::optional<capture::CaptureFacts> slowestRate(BoardOnPty &pty) {
    BoardLink &link = pty.link();
    const sim::VirtualBoard &board = pty.board();
    std::vector<uint8_t> image;
    conversion::ConversionFacts conversion;
    if (pty.chip() == sim::Chip::VXC5480) {
        if (WriteRegister(link, vxc5480::kDrate, 0x03) != 0)
            return std::nullopt;
        for (uint8_t a = 0; a < vxc5480::kRegisterCount; ++a)
            image.push_back(board.registerValue(a));
        conversion = vxc5480::Facts(image);
    } else {
        const uint8_t cr1 = board.registerValue(vxc5420::kCr1) & 0xF8;
        if (SendCommand(link, command::kSetMode, vxc5420::kCommandMode) != 0 ||
            WriteRegister(link, vxc5420::kCr1, cr1) != 0)
            return std::nullopt;
        for (uint8_t a = 0; a < vxc5420::kRegisterCount; ++a)
            image.push_back(board.registerValue(a));
        conversion = vxc5420::Facts(image, vxc5420::kCommandMode);
    }
    return capture::MakeFacts(link.chipName(), image, conversion, QDateTime::currentDateTime());
}

void measureSlow(sim::Chip chip) {
    const std::unique_ptr<BoardOnPty> pty = countingBoard(chip, sim::Pacing::Real);
    const std::optional<capture::CaptureFacts> facts = pty ? slowestRate(*pty) : std::nullopt;
    if (!facts) {
        std::printf("no board\n");
        return;
    }
    const sim::VirtualBoard &board = pty->board();
    const double sps = facts->conversion.dataRateSps;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("slow.csv"));
    Window w(*pty->session(), *facts);
    CCaptureDlg &window = *w.dlg;
    window.pathEdit()->setText(path);
    window.formatList()->setCurrentIndex(1);
    QCoreApplication::processEvents();
    BoardWatch watch(board);
    // How often the figures change, seen as a person would, every 20 ms.
    int elapsedChanges = 0, writtenChanges = 0;
    QString elapsedText, writtenText;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        elapsedChanges += window.readouts()[0]->text() != elapsedText;
        writtenChanges += window.readouts()[1]->text() != writtenText;
        elapsedText = window.readouts()[0]->text();
        writtenText = window.readouts()[1]->text();
    });
    window.startButton()->click();
    const int refreshesBefore = window.refreshes();
    look.start(20);
    QElapsedTimer clock;
    clock.start();
    runEvents(4000);
    // A message box held open 5 s: its own event loop runs, the capture its own thread.
    const int64_t writtenBeforeBox = window.readouts()[1]->text().toLongLong();
    const int writtenChangesBeforeBox = writtenChanges;
    QMessageBox box(QMessageBox::Information, QStringLiteral("About"),
                    QStringLiteral("Held open for 5 s"), QMessageBox::Ok, &window);
    QTimer::singleShot(5000, &box, &QMessageBox::accept);
    box.exec();
    const int64_t writtenDuringBox = window.readouts()[1]->text().toLongLong() - writtenBeforeBox;
    const int writtenChangesDuringBox = writtenChanges - writtenChangesBeforeBox;
    runEvents(3300); // not on a conversion's edge
    look.stop();
    const double seconds = clock.nsecsElapsed() / 1e9;
    const double shownRate = window.readouts()[2]->text().section(u' ', 0, 0).toDouble();
    const double boardRate = watch.rate();

    // Stop: when the file says it closed (a thread reads its end), and when the window ends.
    std::atomic<double> closedAfter{-1};
    std::atomic<bool> looking{true};
    QElapsedTimer sinceStop;
    std::thread closed([&] {
        while (looking && closedAfter < 0) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly) && file.readAll().contains("# stopped_by:"))
                closedAfter = sinceStop.nsecsElapsed() / 1e9;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    sinceStop.start();
    window.stopButton()->click();
    waitForEnd(window);
    const double endedAfter = sinceStop.nsecsElapsed() / 1e9;
    looking = false;
    closed.join();
    watch.stop();
    const capture::CaptureResult &result = window.lastResult();
    const std::vector<int32_t> codes = csvCodes(path);
    std::printf("capture window at %g SPS (%s, its slowest rate, blocks of %d), a message box "
                "open 5 s after 4 s\n",
                sps, qPrintable(facts->chipName), capture::DefaultBlockItems(sps));
    std::printf("  refreshes %.1f a second; seen changing: elapsed %.1f a second, samples written "
                "%.1f a second (a sample arrives %g times a second)\n",
                (window.refreshes() - refreshesBefore) / seconds, elapsedChanges / seconds,
                writtenChanges / seconds, sps);
    std::printf("  while the box was open: %lld samples written (expected about %.0f), the count "
                "seen changing %d times\n",
                static_cast<long long>(writtenDuringBox), 5 * sps, writtenChangesDuringBox);
    std::printf("  file: %zu samples, %lld written, %lld lost (from the counting codes, target 0); "
                "stopped by %s\n",
                codes.size(), static_cast<long long>(result.samples),
                static_cast<long long>(lostInCount(codes)), qPrintable(result.stoppedBy));
    std::printf("  rate after %.1f s: shown %.3f samples/s, the board's %.3f (%+.2f %%)\n", seconds,
                shownRate, boardRate, 100.0 * (shownRate - boardRate) / boardRate);
    std::printf("  Stop to file closed %.3f s (target <= 1.5), to the window's end (the board's "
                "block drained) %.3f s\n",
                closedAfter.load(), endedAfter);
}

void measureCpu() {
    QProcess simulator;
    simulator.start(QStringLiteral(PELLORIN_EVM_SIM_PATH),
                    {QStringLiteral("--pace=wire"), QStringLiteral("--signal=count")});
    if (!simulator.waitForReadyRead(10000)) {
        std::printf("no pellorin-evm-sim\n");
        return;
    }
    const QString port = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    Detection found = DetectEvm({{port}, false}, chip_id::kVxc5480);
    if (!found.link) {
        std::printf("no board on %s\n", qPrintable(port));
        return;
    }
    BoardSession session(std::move(found.link));
    QTemporaryDir dir;
    Window w(session, 30000);
    CCaptureDlg &window = *w.dlg;
    window.pathEdit()->setText(dir.filePath(QStringLiteral("cpu.h5")));
    QCoreApplication::processEvents();
    window.startButton()->click();
    runEvents(2000); // past the start
    const double cpu0 = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runEvents(20000);
    const double cpu = processCpuSeconds() - cpu0;
    const double seconds = wall.nsecsElapsed() / 1e9;
    window.stopButton()->click();
    waitForEnd(window);
    session.link().close();
    simulator.terminate();
    simulator.waitForFinished(5000);
    std::printf("capture window at the wire's pace, the board in a process of its own: the "
                "window's process (window thread, capture thread, Qt's) %.2f %% of one core over "
                "%.0f s (target <= 3)\n",
                100.0 * cpu / seconds, seconds);
}

} // namespace

void MeasureWindowCapture() {
    measureStall();
    measureSlow(sim::Chip::VXC5480);
    measureSlow(sim::Chip::VXC5420);
    measureCpu();
}
