#pragma once
// --simulate: a virtual board served in-process on a pseudo-terminal (its own thread).

#include <QString>

#include <memory>

namespace sim {
class VirtualBoard;
}

// Starts a virtual board carrying the named chip; null (after telling why on stderr) when the
// name is unknown or no pseudo-terminal could be made.
std::unique_ptr<sim::VirtualBoard> StartSimulatedBoard(const QString &chipName);

// The device path the program opens to reach the board.
QString SimulatedBoardPort(const sim::VirtualBoard &board);
