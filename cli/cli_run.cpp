#include "cli_run.h"

#include "all_boards.h"
#include "cli_options.h"
#include "commands.h"
#include "console.h"
#include "descriptor_stream.h"
#include "exit_codes.h"
#include "help_text.h"
#include "output_formats.h"

#include "platform/file_writer.h"

namespace cli {

namespace {
struct Runner {
    const char *name;
    int (*run)(CommandContext &);
    bool printsResult; // --json shapes it; a command without one refuses --json
};

const Runner *runnerOf(const QString &command) {
    static const Runner kRunners[] = {
        {"detect", RunDetect, true},    {"regs", RunRegs, true},
        {"get", RunGet, true},          {"set", RunSet, true},
        {"command", RunCommand, false}, {"acquire", RunAcquire, true},
        {"capture", RunCapture, true},  {"scan", RunScan, true},
        {"profile", RunProfile, false}, {"firmware-update", RunFirmwareUpdate, false},
        {"analyze", RunAnalyze, true},
    };
    for (const Runner &runner : kRunners) {
        if (command == QLatin1String(runner.name))
            return &runner;
    }
    return nullptr;
}

int writeManPage(Console &console, const QString &path) {
    const platform::FileError error = platform::WriteWholeFile(path, ManPage().toUtf8());
    if (error.failed()) {
        console.message(error.text());
        return exit_code::kFile;
    }
    return exit_code::kOk;
}

// Results that never reached standard output (a full disk behind "> file", /dev/full) are a
// failed write like any other file's, never a success.
int checkOutput(Console &console, int status) {
    std::ostream &out = console.out();
    out.flush();
    if (!out.fail())
        return status;
    const auto *buffer = dynamic_cast<const DescriptorBuffer *>(out.rdbuf());
    const QString reason = buffer && buffer->error() != 0 ? qt_error_string(buffer->error())
                                                          : QStringLiteral("Write failed");
    console.message(QStringLiteral("standard output: %1").arg(reason));
    return status == exit_code::kOk ? exit_code::kFile : status;
}

int run(const QStringList &arguments, Console &console, std::ostream &err) {
    std::ostream &out = console.out();
    const CliOptions options = ParseCliOptions(arguments);
    if (!options.error.isEmpty()) {
        console.message(options.error + QStringLiteral(" (see pellorin-cli --help)"));
        return exit_code::kUsage;
    }
    if (!options.manPath.isEmpty())
        return writeManPage(console, options.manPath);
    if (options.help) {
        out << ProgramHelpText().toStdString();
        return exit_code::kOk;
    }
    if (options.command.isEmpty()) {
        console.message(QStringLiteral("no command given (see pellorin-cli --help)"));
        return exit_code::kUsage;
    }
    const Runner *runner = runnerOf(options.command);
    const HelpEntry *help = FindCommandHelp(options.command);
    if (!runner || !help) {
        console.message(
            QStringLiteral("unknown command %1 (see pellorin-cli --help)").arg(options.command));
        return exit_code::kUsage;
    }
    if (options.arguments.contains(QLatin1String("--help")) ||
        options.arguments.contains(QLatin1String("-h"))) {
        out << CommandHelpText(*help).toStdString();
        return exit_code::kOk;
    }
    if (options.allBoards)
        return RunOnAllBoards(options, runner->run, console, err);
    CommandContext context(options, console);
    if (!runner->printsResult &&
        (options.json || options.arguments.contains(QLatin1String("--json")))) {
        return context.usage(QStringLiteral("--json: %1 prints no result; its exit status tells "
                                            "how it went")
                                 .arg(options.command));
    }
    return runner->run(context);
}
} // namespace

int RunCli(const QStringList &arguments, std::ostream &out, std::ostream &err,
           bool progressOnTerminal) {
    Console console(out, err, progressOnTerminal);
    ConsolePresenter presenter(console);
    const std::ostream::pos_type start = out.tellp();
    const int status = checkOutput(console, run(arguments, console, err));
    // A script that asked for JSON reads one object whatever happened: a failure that printed
    // no result of its own (a usage, file or no-board error) prints its messages and status.
    // "--json" as a word of its own is always the option: a value never begins with "--".
    if (status == exit_code::kOk || !arguments.contains(QLatin1String("--json")) || out.fail() ||
        out.tellp() != start)
        return status;
    WriteFailureJson(out, console.messages(), status);
    return checkOutput(console, status);
}

} // namespace cli
