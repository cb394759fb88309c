// pellorin-cli: the board from scripts and test rigs.

#include "cli_run.h"
#include "descriptor_stream.h"

#include <QCoreApplication>

#include <csignal>
#include <iostream>
#include <unistd.h>

int main(int argc, char **argv) {
    // Past a file-size limit a write then fails with exit 6, the old file kept and no
    // temporary file left, instead of ending the program in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
    // A reader that has gone (pellorin-cli scan --out F | head -1) fails the write to standard
    // output, which is exit 6 with its reason as every failed write is, instead of ending the
    // program before it has put MUX back or written its file.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    // Results go out through a buffer that can say why a write failed.
    cli::DescriptorBuffer buffer(STDOUT_FILENO);
    std::ostream out(&buffer);
    return cli::RunCli(arguments, out, std::cerr, isatty(STDERR_FILENO) == 1);
}
