// scan: the window's input scan without the window; its table as text, JSON or a CSV file.

#include "chips/tables/number_text.h"
#include "commands.h"
#include "conversion_options.h"
#include "exit_codes.h"
#include "output_formats.h"
#include "stop_signals.h"

#include "scan/scan_engine.h"
#include "scan/scan_report.h"
#include "scan/scan_table.h"

#include "platform/file_writer.h"

#include <algorithm>

namespace cli {

namespace {
struct ScanRequest {
    scan::ScanSettings settings;
    bool discardGiven = false; // else the chip's settling at the rate its registers show
    ConversionRequest conversion;
    QString outPath;
    bool json = false;
};

bool readCount(const CommandArguments &args, const QString &name, int64_t low, int64_t high,
               int &value, QString &error) {
    int64_t number = value;
    if (!args.number(name, low, high, number, error))
        return false;
    value = static_cast<int>(number);
    return true;
}

// The kept and discarded samples of an input go in one request.
QString checkRequestSize(const scan::ScanSettings &settings, bool discardGiven) {
    if (settings.count + settings.discard <= scan::kMaxScanItems)
        return QString();
    return QStringLiteral("--count %1 and --discard %2%3 add up to %4; together they must be at "
                          "most %5 (one request)")
        .arg(settings.count)
        .arg(settings.discard)
        .arg(discardGiven ? QString()
                          : QStringLiteral(" (its default, the samples the chip settles)"))
        .arg(settings.count + settings.discard)
        .arg(scan::kMaxScanItems);
}

// The inputs of --single-ended, --pairs or --inputs; an empty string, or the usage error. A
// chip without a common input has no single-ended inputs: unavailable is set instead.
QString chooseInputs(const CommandArguments &args, const panel_common::MuxLayout &mux,
                     std::vector<scan::ScanInput> &inputs, bool &unavailable) {
    const bool single = args.has(QStringLiteral("--single-ended"));
    const bool pairs = args.has(QStringLiteral("--pairs"));
    const bool listed = args.has(QStringLiteral("--inputs"));
    if (int(single) + int(pairs) + int(listed) != 1)
        return QStringLiteral("give one of --single-ended, --pairs and --inputs");
    if (single) {
        inputs = scan::SingleEndedInputs(mux);
        unavailable = inputs.empty();
    } else if (pairs) {
        inputs = scan::PairInputs(mux);
    } else {
        QString error;
        if (!scan::ParseInputList(mux, args.value(QStringLiteral("--inputs")), inputs, error))
            return QStringLiteral("--inputs: %1").arg(error);
    }
    return QString();
}

QString parseRequest(CommandContext &context, ScanRequest &request, bool &unavailable) {
    QString error;
    const CommandArguments args = SplitArguments(
        context.options().arguments,
        QStringList{QStringLiteral("--inputs"), QStringLiteral("--count"),
                    QStringLiteral("--discard"), QStringLiteral("--repeat"),
                    QStringLiteral("--out")} +
            ConversionOptionNames(),
        {QStringLiteral("--single-ended"), QStringLiteral("--pairs"), QStringLiteral("--json")},
        error);
    if (!error.isEmpty())
        return error;
    if (!args.words.isEmpty())
        return QStringLiteral("unexpected argument %1").arg(args.words.front());
    error = chooseInputs(args, *context.chip().mux, request.settings.inputs, unavailable);
    if (!error.isEmpty() || unavailable)
        return error;
    if (!args.has(QStringLiteral("--count")))
        return QStringLiteral("--count N is needed: the samples of each input");
    scan::ScanSettings &settings = request.settings;
    if (!readCount(args, QStringLiteral("--count"), 1, scan::kMaxScanItems, settings.count,
                   error) ||
        !readCount(args, QStringLiteral("--discard"), 0, scan::kMaxScanItems - 1, settings.discard,
                   error) ||
        !readCount(args, QStringLiteral("--repeat"), 1, scan::kMaxScanRepeats, settings.repeats,
                   error))
        return error;
    request.discardGiven = args.has(QStringLiteral("--discard"));
    if (request.discardGiven) {
        if (error = checkRequestSize(settings, true); !error.isEmpty())
            return error;
    }
    error = ReadConversionOptions(args, context.chip(), request.conversion);
    if (!error.isEmpty())
        return error;
    request.outPath = args.value(QStringLiteral("--out"));
    request.json = context.options().json || args.has(QStringLiteral("--json"));
    return scan::CheckScanSettings(settings);
}

// "Scan interrupted by SIGINT; 2 of 4 inputs measured. MUX put back to 0x01."
QString interruptedText(const scan::ScanOutcome &outcome) {
    const auto measured =
        std::count_if(outcome.rows.begin(), outcome.rows.end(),
                      [](const scan::ScanRow &row) { return !row.repeats.empty(); });
    const QString text = QStringLiteral("Scan interrupted by %1; %2 of %3 inputs measured.")
                             .arg(StopSignals::firstName())
                             .arg(measured)
                             .arg(outcome.rows.size());
    const QString putBack = scan::PutBackText(outcome);
    return putBack.isEmpty() ? text : text + u' ' + putBack;
}

// A stop by SIGINT or SIGTERM ends well, as capture's does: the rows measured are printed,
// "complete" is false, MUX is back.
int exitStatus(CommandContext &context, const scan::ScanOutcome &outcome) {
    switch (outcome.fault) {
    case scan::ScanFault::None:
        if (outcome.putBack == scan::MuxPutBack::Failed)
            return context.exchangeFailed(QStringLiteral("scan"), outcome.putBackResult);
        return exit_code::kOk;
    case scan::ScanFault::ItemChecksum:
        return exit_code::kItemChecksum; // the item's index is in the message already
    default:
        return context.exchangeFailed(QStringLiteral("scan"), outcome.result);
    }
}
} // namespace

int RunScan(CommandContext &context) {
    const ChipSupport &chip = context.chip();
    if (!chip.mux)
        return context.unavailable(
            QStringLiteral("scan: this build has no input multiplexer for %1")
                .arg(QLatin1String(chip.name)));
    ScanRequest request;
    bool unavailable = false;
    const QString error = parseRequest(context, request, unavailable);
    if (unavailable)
        return context.unavailable(QStringLiteral("scan --single-ended: the %1 has no common input")
                                       .arg(QLatin1String(chip.name)));
    if (!error.isEmpty())
        return context.usage(error);
    // A scan is not run for a file that could not be written after it.
    if (!request.outPath.isEmpty()) {
        const platform::FileError refused = platform::CheckWritableTarget(request.outPath);
        if (refused.failed()) {
            context.console().message(refused.text());
            return exit_code::kFile;
        }
    }
    if (const int status = context.connect())
        return status;

    // Gain, rate and settling as the registers show them before the first switch.
    const conversion::ConversionFacts facts =
        FactsOf(chip, request.conversion, ReadChipImage(context.link(), chip));
    if (!request.discardGiven) {
        request.settings.discard = scan::DefaultDiscard(facts);
        if (const QString refused = checkRequestSize(request.settings, false); !refused.isEmpty())
            return context.usage(refused);
    }
    const double lsbVolts = scan::ScanVoltsPerCode(facts);
    Console &console = context.console();
    if (const QString note = UnclaimedVoltsNote(chip, facts); !note.isEmpty())
        console.message(note);
    const int acquisitions =
        static_cast<int>(request.settings.inputs.size()) * request.settings.repeats;
    scan::ScanHooks hooks;
    hooks.progress = [&console, acquisitions](const scan::ScanProgress &at) {
        const int done = at.repeat * at.inputs + at.input;
        console.progress(QStringLiteral("Scanning ") + scan::ScanProgressText(at),
                         100 * done / acquisitions);
    };
    // SIGINT and SIGTERM stop the scan after the acquisition in flight, whose items must be
    // off the line before MUX is put back; a second one changes nothing.
    const StopSignals stopSignals;
    hooks.stopRequested = [] { return StopSignals::count() > 0; };
    const scan::ScanOutcome outcome =
        scan::RunScan(context.board(), request.settings, *chip.mux, hooks);
    console.endProgress();
    if (context.scanObserver())
        context.scanObserver()(outcome, lsbVolts);
    if (outcome.putBack == scan::MuxPutBack::Failed)
        console.message(scan::PutBackText(outcome));

    // The rows measured before a fault or a stop are written and printed too; the exit status
    // tells. The file first: a reader that has gone (scan --out F | head) costs no file.
    int fileStatus = exit_code::kOk;
    if (!request.outPath.isEmpty())
        fileStatus = context.writeWholeFile(request.outPath,
                                            scan::ScanCsv(*chip.mux, outcome.rows, lsbVolts));
    if (request.json) {
        WriteScanJson(context.out(), *chip.mux, outcome.rows, outcome.complete(), facts);
    } else {
        WriteScanText(context.out(), *chip.mux, outcome.rows, lsbVolts);
        if (outcome.stopped)
            context.out() << interruptedText(outcome).toStdString() << '\n';
    }
    context.out().flush();
    const int scanStatus = exitStatus(context, outcome);
    return scanStatus != exit_code::kOk ? scanStatus : fileStatus;
}

} // namespace cli
