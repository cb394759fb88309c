#pragma once
// --simulate: a virtual board served in-process on a pseudo-terminal (its own thread), and a
// simulated update device behind the firmware update.

#include "sim/virtual_board.h"

#include <QString>

#include <memory>

namespace firmware {
class SimulatedTransport;
}

// Starts a virtual board carrying the named chip, paced as asked (--pace), with a sine of sineHz
// and sineVolts amplitude on its inputs when sineHz is above 0; null (after telling why on
// stderr) when the name is unknown or no pseudo-terminal could be made.
std::unique_ptr<sim::VirtualBoard> StartSimulatedBoard(const QString &chipName, sim::Pacing pacing,
                                                       double sineHz = 0, double sineVolts = 0);

// The device path the program opens to reach the board.
QString SimulatedBoardPort(const sim::VirtualBoard &board);

// Puts a simulated update device behind "Update Firmware" until the returned object goes; with
// no image of its own (neither carried nor given), the run writes a small generated one.
std::unique_ptr<firmware::SimulatedTransport> InstallSimulatedUpdateDevice(bool imageGiven);
