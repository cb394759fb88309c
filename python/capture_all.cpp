#include "capture_all.h"

#include "capture/file_names.h"
#include "capture/start_line.h"

#include <QDeadlineTimer>
#include <QThread>

#include <atomic>
#include <memory>

namespace pellorin_py {

QStringList PerBoardCapturePaths(const std::vector<Board *> &boards, const QString &path) {
    QStringList parts;
    QStringList paths;
    for (const Board *board : boards) {
        parts << capture::BoardFilePart(board->port(), parts);
        paths << capture::PerBoardPath(path, parts.back());
    }
    return paths;
}

std::vector<BoardCaptureEnd> CaptureAll(const std::vector<Board *> &boards,
                                        const capture::CaptureSettings &settings,
                                        Interrupt &interrupt) {
    const QStringList paths = PerBoardCapturePaths(boards, settings.path);
    std::vector<BoardCaptureEnd> ends(boards.size());
    std::atomic<bool> stop{false};
    capture::StartLine line(static_cast<std::ptrdiff_t>(boards.size()));
    // Qt threads: a serial port's notifiers need one. Python's signal handlers run on the
    // calling thread only, so the workers learn of Ctrl-C through stop.
    std::vector<std::unique_ptr<QThread>> threads;
    for (size_t i = 0; i < boards.size(); ++i) {
        capture::CaptureSettings own = settings;
        own.path = paths[static_cast<qsizetype>(i)];
        threads.emplace_back(QThread::create([&, own, i] {
            Interrupt workerStop(stop);
            BoardCaptureEnd &end = ends[i];
            {
                // Left before the Board is given back: a board that failed first lets the
                // others start without it.
                capture::StartLine::Seat seat(&line);
                try {
                    end.result = boards[i]->capture(own, workerStop, end.file,
                                                    [&seat] { return seat.startTogether(); });
                } catch (...) {
                    end.failure = std::current_exception();
                }
            }
            boards[i]->giveBack();
        }));
    }
    for (const auto &thread : threads)
        thread->start();
    for (const auto &thread : threads) {
        while (!thread->wait(QDeadlineTimer(Interrupt::kCheckInterval.count()))) {
            if (interrupt.check())
                stop = true;
        }
    }
    return ends;
}

} // namespace pellorin_py
