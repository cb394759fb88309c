#pragma once
// The program's options, read up to the command's name; the command reads the rest.

#include "sim/virtual_board.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace cli {

struct CliOptions {
    QStringList ports;          // --port PATH, in the order given
    bool noScan = false;        // --no-scan: only the ports named (and the virtual board)
    bool simulate = false;      // --simulate[=CHIP[,CHIP...]]
    QString simulatedChip;      // catalogue spelling; the first of simulatedChips
    QStringList simulatedChips; // one virtual board each, in the order given
    bool allBoards = false;     // --all-boards: the command runs on every board found
    sim::Pacing pacing = sim::Pacing::Real; // --pace=real|wire|none: the simulated board's pace
    QString chip;                           // --chip, catalogue spelling; empty when not given
    bool json = false;                      // --json (also accepted after the command)
    bool help = false;                      // --help before any command
    QString manPath;                        // hidden --write-man PATH: the manual page in roff
    QString command;                        // empty when none was given
    QStringList arguments;                  // everything after the command's name
    QString error;                          // non-empty when the options could not be read
};

CliOptions ParseCliOptions(const QStringList &arguments);

// "NAME given twice (give it once)", the one message for an option repeated.
QString RepeatedOptionMessage(const QString &name);

// The chip the board is expected to carry: --chip, else the simulated chip, else VXC5480.
QString ExpectedChip(const CliOptions &options);

// A command's own arguments: "--name", "--name VALUE", "--name=VALUE" and plain words.
struct CommandArguments {
    QStringList words;
    QList<QPair<QString, QString>> options; // name (with dashes), value (null when none)
    bool has(const QString &name) const;
    QString value(const QString &name) const;
    // The number of option name by the one rule (number_text.h), from lowest to highest. True
    // when it was not given (value untouched) or was such a number; false with the one
    // message in error otherwise.
    bool number(const QString &name, int64_t lowest, int64_t highest, int64_t &value,
                QString &error) const;
};

// valueOptions take a value (the next word when not given with "="), which never begins with
// "--"; flags take none. Anything else starting with "--" is an error, reported in error, and
// so is an option given twice: a script that says --out twice has a fault, and the last one
// winning silently would hide it.
CommandArguments SplitArguments(const QStringList &arguments, const QStringList &valueOptions,
                                const QStringList &flags, QString &error);

} // namespace cli
