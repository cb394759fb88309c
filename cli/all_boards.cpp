#include "all_boards.h"

#include "board_batch.h"
#include "board_files.h"
#include "commands.h"
#include "exit_codes.h"
#include "stop_signals.h"

#include "capture/file_names.h"
#include "capture/start_line.h"
#include "chips/tables/chip_table.h"
#include "link/chip_catalog.h"
#include "link/serial_transport.h"
#include "platform/file_writer.h"
#include "platform/message_service.h"
#include "scan/scan_engine.h"

#include <QThread>

#include <mutex>

namespace cli {

namespace {
// The options whose files each board writes for itself.
const QStringList kFileOptions{QStringLiteral("--out"), QStringLiteral("--spectrum")};
// A board's progress line on the shared standard error, at most this often.
constexpr std::chrono::seconds kProgressEvery{10};

// The batch test's options, taken out of scan's arguments: the runner judges and reports.
struct BatchTest {
    QString limitsPath;
    QString reportPath; // REPORT.csv and REPORT.json
    ScanLimits limits;
};

// Takes "NAME VALUE" or "NAME=VALUE" out of arguments into value (null when not given); an
// empty string, or the usage error.
QString takeOption(QStringList &arguments, const QString &name, QString &value) {
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        if (word == name) {
            if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QLatin1String("--")))
                return QStringLiteral("%1 needs a value").arg(name);
            if (!value.isNull())
                return RepeatedOptionMessage(name);
            value = arguments.takeAt(i + 1);
            arguments.removeAt(i--);
        } else if (word.startsWith(name + u'=')) {
            if (!value.isNull())
                return RepeatedOptionMessage(name);
            value = word.mid(name.size() + 1);
            arguments.removeAt(i--);
        }
    }
    return QString();
}

// Takes --limits FILE and --report NAME out of arguments; an empty string, or the usage error.
QString takeBatchTest(QStringList &arguments, BatchTest &test) {
    const auto take = [&arguments](const QString &name, QString &value) {
        return takeOption(arguments, name, value);
    };
    if (QString error = take(QStringLiteral("--limits"), test.limitsPath); !error.isEmpty())
        return error;
    if (QString error = take(QStringLiteral("--report"), test.reportPath); !error.isEmpty())
        return error;
    if (!test.reportPath.isNull() && test.limitsPath.isNull())
        return QStringLiteral("--report goes with --limits");
    if (test.limitsPath.isEmpty() != test.limitsPath.isNull())
        return QStringLiteral("--limits needs a value");
    return QString();
}

void runBoard(BoardRun &run, CommandFunction command, capture::StartLine *line,
              const BatchTest *test) {
    // Whatever a layer below shows on this thread is this board's.
    platform::HeldMessages held;
    std::optional<capture::StartLine::Seat> seat;
    {
        CommandContext context(run.options, *run.console);
        if (line) {
            seat.emplace(line);
            context.setStartTogether([&seat] { return seat->startTogether(); });
        }
        if (test) {
            const ChipSupport *chip = FindChipSupport(run.chip);
            context.setScanObserver(
                [&run, test, chip](const scan::ScanOutcome &outcome, double voltsPerCode) {
                    run.verdicts =
                        JudgeScan(test->limits, run.chip, *chip->mux, outcome.rows, voltsPerCode);
                });
        }
        run.status = command(context);
        if (context.connected())
            run.identity = context.link().identity();
        // The link closes here, on the thread that used it.
    }
    seat.reset();
    for (const platform::Message &message : held.take())
        run.console->message(message.text);
    if (run.status == exit_code::kOk && run.verdicts && !BoardPasses(*run.verdicts))
        run.status = exit_code::kOutsideLimits;
}

platform::FileError writeReport(const QString &name,
                                const std::vector<std::unique_ptr<BoardRun>> &runs) {
    return platform::WriteWholeFiles(
        {platform::FileContents{name + QStringLiteral(".csv"), BatchReportCsv(runs), {}},
         platform::FileContents{name + QStringLiteral(".json"), BatchReportJson(runs), {}}});
}
} // namespace

std::vector<FoundBoard> BoardsAmong(const CliOptions &options, const QStringList &given,
                                    bool scanSystem) {
    std::vector<FoundBoard> found = FindBoards(PortCandidates({given, scanSystem}));
    if (!options.chip.isEmpty()) {
        const int chipId = FindChipSupport(options.chip)->chipId;
        std::erase_if(found, [chipId](const FoundBoard &board) { return board.chipId != chipId; });
    }
    return found;
}

QString NoBoardsText(const CliOptions &options) {
    return QStringLiteral("No board answered on any port%1.")
        .arg(options.chip.isEmpty() ? QString() : QStringLiteral(" with a %1").arg(options.chip));
}

bool RunsOnAllBoards(const CliOptions &options) {
    static const QStringList kCommands{QStringLiteral("acquire"), QStringLiteral("capture"),
                                       QStringLiteral("scan"), QStringLiteral("regs"),
                                       QStringLiteral("set")};
    if (options.command == QLatin1String("profile"))
        return options.arguments.value(0) == QLatin1String("load");
    return kCommands.contains(options.command);
}

int RunOnAllBoards(const CliOptions &options, CommandFunction command, Console &console,
                   std::ostream &err) {
    const auto usage = [&](const QString &text) {
        console.message(
            QStringLiteral("%1 (see pellorin-cli %2 --help)").arg(text, options.command));
        return exit_code::kUsage;
    };
    if (!RunsOnAllBoards(options))
        return usage(QStringLiteral("--all-boards goes with acquire, capture, scan, regs, set and "
                                    "profile load"));
    QStringList arguments = options.arguments;
    BatchTest test;
    if (options.command == QLatin1String("scan")) {
        if (const QString error = takeBatchTest(arguments, test); !error.isEmpty())
            return usage(error);
    }
    const bool testing = !test.limitsPath.isNull();
    // A broken limits file or a report that could not be written is told before any board is
    // touched.
    if (testing) {
        QString error;
        if (!ReadScanLimits(test.limitsPath, test.limits, error)) {
            console.message(error);
            return exit_code::kFile;
        }
        for (const QString &suffix : {QStringLiteral(".csv"), QStringLiteral(".json")}) {
            if (!test.reportPath.isEmpty()) {
                const platform::FileError refused =
                    platform::CheckWritableTarget(test.reportPath + suffix);
                if (refused.failed()) {
                    console.message(refused.text());
                    return exit_code::kFile;
                }
            }
        }
    }

    CommandContext starter(options, console);
    const QStringList simulated = starter.simulatedPorts();
    if (options.simulate && simulated.isEmpty())
        return exit_code::kNoBoard;
    // The virtual boards and the ports given are the whole set; without either, every port of
    // the system.
    const QStringList given = simulated + options.ports;
    const std::vector<FoundBoard> found =
        BoardsAmong(options, given, given.isEmpty() && !options.noScan);
    if (found.empty()) {
        console.message(NoBoardsText(options));
        return exit_code::kNoBoard;
    }

    std::mutex errLock;
    std::vector<std::unique_ptr<BoardRun>> runs;
    QStringList parts;
    for (const FoundBoard &board : found) {
        auto run = std::make_unique<BoardRun>();
        run->found = board;
        run->chip = QLatin1String(FindChip(board.chipId)->name);
        run->filePart = capture::BoardFilePart(board.path, parts);
        parts << run->filePart;
        run->options = options;
        run->options.ports = {board.path};
        run->options.noScan = true;
        run->options.simulate = false;
        run->options.simulatedChips.clear();
        run->options.allBoards = false;
        run->options.chip = run->chip;
        run->options.arguments = PerBoardArguments(arguments, kFileOptions, run->filePart);
        // --mode is for the boards whose chip has modes; the others run without it.
        if (FindChipSupport(run->chip)->lastMode == 0) {
            QString ignored;
            takeOption(run->options.arguments, QStringLiteral("--mode"), ignored);
        }
        run->console = std::make_unique<Console>(run->out, err, false);
        run->console->shareErrorStream(PortLabelOf(board.path), errLock, kProgressEvery);
        runs.push_back(std::move(run));
    }

    // SIGINT and SIGTERM stop every capture and scan (each puts its MUX back); one handler
    // for the whole batch, so none comes and goes while another board still runs.
    const bool stoppable =
        options.command == QLatin1String("capture") || options.command == QLatin1String("scan");
    std::optional<StopSignals> stopSignals;
    if (stoppable)
        stopSignals.emplace();
    std::optional<capture::StartLine> line;
    if (options.command == QLatin1String("capture"))
        line.emplace(static_cast<std::ptrdiff_t>(runs.size()));
    // Qt threads: a serial port's notifiers need one.
    std::vector<std::unique_ptr<QThread>> threads;
    for (auto &run : runs) {
        threads.emplace_back(QThread::create(runBoard, std::ref(*run), command,
                                             line ? &*line : nullptr, testing ? &test : nullptr));
        threads.back()->start();
    }
    for (const auto &thread : threads)
        thread->wait();

    std::ostream &out = console.out();
    if (options.json || arguments.contains(QLatin1String("--json")))
        WriteBatchJson(out, runs);
    else
        WriteBatchText(out, runs);
    if (!test.reportPath.isEmpty()) {
        if (const platform::FileError error = writeReport(test.reportPath, runs); error.failed()) {
            console.message(error.text());
            return exit_code::kFile;
        }
    }
    return BatchStatus(runs);
}

} // namespace cli
