#pragma once
// --simulate: a virtual board served in-process on a pseudo-terminal (its own thread), and a
// simulated update device behind the firmware update.

#include "sim/virtual_board.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace firmware {
class SimulatedTransport;
}

// Starts one virtual board carrying the named chip (StartSimulatedBoards of that one name), paced
// as asked (--pace), with a sine of sineHz and sineVolts amplitude on its inputs when sineHz is
// above 0; null (after telling why on stderr) when the name is unknown or no pseudo-terminal could
// be made.
std::unique_ptr<sim::VirtualBoard> StartSimulatedBoard(const QString &chipName, sim::Pacing pacing,
                                                       double sineHz = 0, double sineVolts = 0);

// One virtual board for each chip named, in order, each with its own serial, link and inputs
// (sim::BoardSignal of its number from 1: seed, offsets and noise of its own), paced as asked,
// with the sine on the inputs of each when sineHz is above 0. Empty (after telling why on
// stderr) when a name is unknown or a board could not start: all start or none.
std::vector<std::unique_ptr<sim::VirtualBoard>> StartSimulatedBoards(const QStringList &chipNames,
                                                                     sim::Pacing pacing,
                                                                     double sineHz = 0,
                                                                     double sineVolts = 0);

// The device path the program opens to reach the board: its stable link, which names it
// (its identity) and outlives an unplug.
QString SimulatedBoardPort(const sim::VirtualBoard &board);

// Puts a simulated update device behind "Update Firmware" until the returned object goes; with
// no image of its own (neither carried nor given), the run writes a small generated one.
std::unique_ptr<firmware::SimulatedTransport> InstallSimulatedUpdateDevice(bool imageGiven);
