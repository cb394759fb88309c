#pragma once
// capture_all: one capture on each of many Boards at once, each on a Qt thread of its own, all
// started on one clock (capture::StartLine) once every board is ready, each writing its own
// files named by the command line's rule for a board's files (capture::PerBoardPath).

#include "board.h"

#include <exception>
#include <optional>
#include <vector>

namespace pellorin_py {

// One board's end: its result and last file, or what it threw.
struct BoardCaptureEnd {
    std::optional<capture::CaptureResult> result;
    QString file;
    std::exception_ptr failure;
};

// The path of each board's files: settings.path with its board part, in the order given.
QStringList PerBoardCapturePaths(const std::vector<Board *> &boards, const QString &path);

// Runs the captures; the calling thread (the GIL released) looks for Ctrl-C for all of them
// and, once it came, stops every board's capture after its item in flight. Returns when every
// board has ended, its files closed and the Board given back (it belongs to the next thread
// that makes a call on it). Each Board must have been handed over (Board::handOver).
std::vector<BoardCaptureEnd> CaptureAll(const std::vector<Board *> &boards,
                                        const capture::CaptureSettings &settings,
                                        Interrupt &interrupt);

} // namespace pellorin_py
