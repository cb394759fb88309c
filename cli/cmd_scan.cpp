// scan: the window's input scan without the window; its table as text, JSON or a CSV file.

#include "commands.h"
#include "conversion_options.h"
#include "exit_codes.h"
#include "number_text.h"
#include "output_formats.h"

#include "scan/scan_engine.h"
#include "scan/scan_report.h"
#include "scan/scan_table.h"

#include "platform/file_writer.h"

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
    if (!args.has(name))
        return true;
    int64_t number = 0;
    if (!ParseNumber(args.value(name), number) || number < low || number > high) {
        error = QStringLiteral("%1 takes a number from %2 to %3").arg(name).arg(low).arg(high);
        return false;
    }
    value = static_cast<int>(number);
    return true;
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
    error = ReadConversionOptions(args, context.chip(), request.conversion);
    if (!error.isEmpty())
        return error;
    request.outPath = args.value(QStringLiteral("--out"));
    request.json = context.options().json || args.has(QStringLiteral("--json"));
    return scan::CheckScanSettings(settings);
}

// Whole or untouched: the old file stays as it was when the table cannot be written.
int writeCsv(CommandContext &context, const QString &path, const std::string &text) {
    const platform::FileError error = platform::WriteWholeFile(
        path, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    if (!error.failed())
        return exit_code::kOk;
    context.console().message(error.text());
    return exit_code::kFile;
}

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
    const analysis::ConversionFacts facts = FactsOf(chip, request.conversion, ReadChipImage(chip));
    if (!request.discardGiven) {
        request.settings.discard = scan::DefaultDiscard(facts);
        if (const QString refused = scan::CheckScanSettings(request.settings); !refused.isEmpty())
            return context.usage(
                QStringLiteral("%1 (with the %2 samples the chip settles; give --discard)")
                    .arg(refused)
                    .arg(request.settings.discard));
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
    const scan::ScanOutcome outcome = scan::RunScan(request.settings, *chip.mux, hooks);
    console.endProgress();
    if (outcome.putBack == scan::MuxPutBack::Failed)
        console.message(scan::PutBackText(outcome));

    // The rows measured before a fault are printed and written too; the exit status tells.
    if (request.json)
        WriteScanJson(context.out(), *chip.mux, outcome.rows, outcome.complete(), facts);
    else
        WriteScanText(context.out(), *chip.mux, outcome.rows, lsbVolts);
    context.out().flush();
    if (!request.outPath.isEmpty()) {
        if (const int status = writeCsv(context, request.outPath,
                                        scan::ScanCsv(*chip.mux, outcome.rows, lsbVolts)))
            return outcome.complete() ? status : exitStatus(context, outcome);
    }
    return exitStatus(context, outcome);
}

} // namespace cli
