// pellorin-cli: the board from scripts and test rigs.

#include "cli_run.h"
#include "descriptor_stream.h"

#include <QCoreApplication>

#include <iostream>
#include <unistd.h>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    // Results go out through a buffer that can say why a write failed.
    cli::DescriptorBuffer buffer(STDOUT_FILENO);
    std::ostream out(&buffer);
    return cli::RunCli(arguments, out, std::cerr, isatty(STDERR_FILENO) == 1);
}
