// pellorin-cli: the board from scripts and test rigs.

#include "cli_run.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <unistd.h>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const int status = cli::RunCli(arguments, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
    std::cout.flush();
    return status;
}
