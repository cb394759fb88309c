#pragma once
// The program's own options. Qt takes its options (-platform and the like) before these are read.

#include "sim/virtual_board.h"

#include <QString>
#include <QStringList>

struct StartOptions {
    QStringList ports;     // --port PATH, in the order given; tried before the system's ports
    bool simulate = false; // --simulate[=CHIP]: serve a virtual board in-process
    QString simulatedChip; // the catalogue name of the simulated chip
    double sineHz = 0.0;   // --sine=FREQ_HZ:AMPLITUDE_V: a sine on the simulated board's inputs
    double sineVolts = 0.0;
    sim::Pacing pacing = sim::Pacing::Real; // --pace=real|wire|none: the simulated board's pace
    QString firmwareImage; // --firmware-image PATH: replaces the carried image for this run
    bool help = false;     // --help
    QString error;         // non-empty when the command line could not be read
    // --detect-and-quit: press "Detect EVM", then quit (a smoke test of an installed program)
    bool detectAndQuit = false;
};

// Reads the arguments after the program name.
StartOptions ParseCommandLine(const QStringList &arguments);

// --help (or -h) and --version only print and end the program, so they are looked for before
// anything needs a display: in the raw arguments after the program name.
enum class PrintOnly { None, Help, Version };
PrintOnly PrintOnlyRequest(int argc, const char *const *argv);

// "Pellorin 2.0.0.3" with the version compiled in.
QString VersionLine();

QString CommandLineUsage();
