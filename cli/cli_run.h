#pragma once
// The whole program but main(): reads the command line, runs the command, returns the exit
// status. Tests call it in-process with string streams.

#include <QStringList>

#include <ostream>

namespace cli {

// arguments exclude the program name. progressOnTerminal: err is a terminal.
int RunCli(const QStringList &arguments, std::ostream &out, std::ostream &err,
           bool progressOnTerminal = false);

} // namespace cli
