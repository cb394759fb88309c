#pragma once
// A capture that lost its board (its USB bridge reset, the line hung up, the board fell silent)
// looks for it again, every second for as long as the user allows: the same path, or where the
// board's identity is now; the handshake for the same chip; then the chip as it was at the
// start, which the front end that knows the chip brings back. Widget-free; runs on the thread
// that owns the board's link.

#include <QString>

#include <chrono>
#include <functional>

class BoardLink;

namespace capture {

// What a board that answers again must pass: its chip brought back as recorded at the start.
struct BoardRestored {
    bool ok = false;
    bool settles = false; // registers or the mode were written: the chip's first conversions
                          // after it are the filter settling
    QString reason;       // why not ok
};
using RestoreBoard = std::function<BoardRestored(BoardLink &)>;

// Why a read lost the board, in a few words: "the line hung up or failed (...)", "the board
// stopped answering".
QString LossCause(int linkResult);

struct BoardReturn {
    bool back = false;
    bool settles = false;
    bool stopped = false; // stop() ended the wait
    QString reason;       // not back: why the capture ends
};

// Closes the link and looks for the board every second until it is back, patience has passed
// or stop() says so. The board is back when a port (path, else the one that carries identity)
// opens, the handshake for the link's chip answers and restore (when given) is ok. Another chip
// there, another board at path, or a restore that fails end the wait with that reason.
BoardReturn WaitForBoard(BoardLink &link, const QString &path, const QString &identity,
                         std::chrono::milliseconds patience, const std::function<bool()> &stop,
                         const RestoreBoard &restore);

} // namespace capture
