#pragma once
// The virtual board as a script starts it: open(simulate=...) and pellorin.VirtualBoard.

#include "sim/virtual_board.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace pellorin_py {

// "none" (as fast as the line takes), "wire" (115200 baud) or "real" (the chip's data rate
// too, as the board); "" is "real", as for pellorin-cli --simulate. ValueError otherwise.
sim::Pacing PacingOf(const QString &pace);

// A virtual board of chipName serving on its own pty: signal "" (the chip's own inputs),
// "sine:HZ:VOLTS" or "count"; pace as PacingOf.
// ValueError for a name it does not know, NoBoardError when no pty could be made.
std::unique_ptr<sim::VirtualBoard> StartVirtualBoard(const QString &chipName, const QString &signal,
                                                     const QString &pace);
// One for each name, in order, each with its own serial, link and inputs (StartSimulatedBoards);
// the same errors, before any board starts for a name it does not know.
std::vector<std::unique_ptr<sim::VirtualBoard>>
StartVirtualBoards(const QStringList &chipNames, const QString &signal, const QString &pace);

} // namespace pellorin_py
