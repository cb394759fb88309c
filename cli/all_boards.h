#pragma once
// --all-boards: one command on every board found, each board's session on a thread of its own,
// started together; one summary with a row per board.

#include "cli_options.h"
#include "console.h"

#include "link/detection.h"

#include <vector>

#include <ostream>

namespace cli {

class CommandContext;
using CommandFunction = int (*)(CommandContext &);

// The commands that run on many boards: acquire, capture, scan, regs, set and profile load.
bool RunsOnAllBoards(const CliOptions &options);

// Every board among the given ports (and the system's, with scanSystem), whatever its chip
// unless --chip names one.
std::vector<FoundBoard> BoardsAmong(const CliOptions &options, const QStringList &given,
                                    bool scanSystem);

// "No board answered on any port.", naming the chip --chip asked for.
QString NoBoardsText(const CliOptions &options);

// Runs the command on every board among the candidates (the ports given and the virtual
// boards, else every port of the system). Exit status: 0 when every board's run succeeded, 7
// when some failed, 8 when none did; 3 when no board answered; 2 or 6 for a usage or limits
// file refused before any board is touched.
int RunOnAllBoards(const CliOptions &options, CommandFunction run, Console &console,
                   std::ostream &err);

} // namespace cli
