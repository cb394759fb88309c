// capture: the window's continuous capture without the window, to an HDF5 or CSV file.

#include "chips/tables/chip_restore.h"
#include "chips/tables/number_text.h"
#include "commands.h"
#include "conversion_options.h"
#include "exit_codes.h"
#include "output_formats.h"
#include "stop_signals.h"

#include "capture/capture_engine.h"
#include "capture/capture_facts.h"
#include "capture/duration_text.h"
#include "capture/file_names.h"

#include <QDateTime>
#include <QTime>

#include <chrono>

namespace cli {

namespace {
// The longest --duration and --split: nine digits of seconds, about 31 years, beyond any run.
constexpr int64_t kMaxDurationSeconds = 999999999;
// The most --samples: a thousand years of the fastest data rate. 2^64 is not "forever".
constexpr int64_t kMaxSamples = 1000000000000000;

// SECONDS by the one number rule, or H:MM:SS, from 1 s to kMaxDurationSeconds; false with the
// one message (and the clock's form) in error otherwise. Blanks are refused, as in a number.
bool readDuration(const CommandArguments &args, const QString &name, int64_t &ms, QString &error) {
    const QString text = args.value(name);
    int64_t seconds = 0;
    const bool number = ParseNumber(text, seconds);
    if (!number && text == text.trimmed()) {
        const int64_t clock = capture::ParseDuration(text);
        seconds = clock < 0 ? -1 : clock / 1000;
    }
    if (seconds < 1 || seconds > kMaxDurationSeconds) {
        error = NumberMessage(name + QStringLiteral(" (seconds)"), 1, kMaxDurationSeconds) +
                QStringLiteral(", or H:MM:SS up to %1")
                    .arg(capture::FormatDuration(static_cast<double>(kMaxDurationSeconds)));
        return false;
    }
    ms = seconds * 1000;
    return true;
}

// Parses the arguments into settings; an empty string, or the usage error.
QString parseSettings(CommandContext &context, capture::CaptureSettings &settings,
                      ConversionRequest &conversion, bool &json) {
    QString error;
    const CommandArguments args = SplitArguments(
        context.options().arguments,
        QStringList{QStringLiteral("--out"), QStringLiteral("--format"), QStringLiteral("--block"),
                    QStringLiteral("--duration"), QStringLiteral("--samples"),
                    QStringLiteral("--split"), QStringLiteral("--reconnect-within")} +
            ConversionOptionNames(),
        {QStringLiteral("--force"), QStringLiteral("--json")}, error);
    if (!error.isEmpty())
        return error;
    error = ReadConversionOptions(args, context.chip(), conversion);
    if (!error.isEmpty())
        return error;
    if (!args.words.isEmpty())
        return QStringLiteral("unexpected argument %1").arg(args.words.front());
    settings.path = args.value(QStringLiteral("--out"));
    if (settings.path.isEmpty())
        return QStringLiteral("--out FILE is needed");
    const QString format = args.value(QStringLiteral("--format"));
    if (format == QLatin1String("csv"))
        settings.format = capture::FileFormat::Csv;
    else if (!format.isNull() && format != QLatin1String("h5"))
        return QStringLiteral("--format takes h5 or csv");
    int64_t block = settings.blockItems;
    if (!args.number(QStringLiteral("--block"), 1, capture::kMaxBlockItems, block, error))
        return error;
    settings.blockItems = static_cast<int>(block);
    const bool duration = args.has(QStringLiteral("--duration"));
    const bool samples = args.has(QStringLiteral("--samples"));
    if (duration && samples)
        return QStringLiteral("--duration and --samples do not go together");
    if (duration) {
        if (!readDuration(args, QStringLiteral("--duration"), settings.durationMs, error))
            return error;
        settings.stop = capture::StopRule::Duration;
    }
    if (samples) {
        if (!args.number(QStringLiteral("--samples"), 1, kMaxSamples, settings.samples, error))
            return error;
        settings.stop = capture::StopRule::Samples;
    }
    if (args.has(QStringLiteral("--split")) &&
        !readDuration(args, QStringLiteral("--split"), settings.splitMs, error))
        return error;
    // 0 (the default) ends the capture when the board is lost, as a script may expect.
    if (args.has(QStringLiteral("--reconnect-within")) &&
        args.value(QStringLiteral("--reconnect-within")) != QLatin1String("0") &&
        !readDuration(args, QStringLiteral("--reconnect-within"), settings.reconnectWithinMs,
                      error))
        return error;
    settings.force = args.has(QStringLiteral("--force"));
    json = context.options().json || args.has(QStringLiteral("--json"));
    return QString();
}

QString progressLine(const capture::CaptureProgress &p) {
    return QStringLiteral("Capturing %1  %2 samples  %3 blocks  %4 bytes%5")
        .arg(capture::FormatDuration(p.elapsedSeconds))
        .arg(p.samplesWritten)
        .arg(p.blocks)
        .arg(p.fileBytes)
        .arg(p.stopping ? QStringLiteral("  stopping: %1 items to drain").arg(p.drainItemsLeft)
                        : QString());
}

// The engine has told the fault in its own words; a failed exchange adds its result code.
int exitStatusOf(CommandContext &context, const capture::CaptureResult &result) {
    switch (result.status) {
    case capture::CaptureStatus::Ok:
        return exit_code::kOk;
    case capture::CaptureStatus::Exchange:
        return context.exchangeFailed(QStringLiteral("capture"), result.linkResult);
    case capture::CaptureStatus::Busy: // nothing else runs in the command line
        return exit_code::kExchange;
    case capture::CaptureStatus::ItemChecksum:
        return exit_code::kItemChecksum;
    case capture::CaptureStatus::File:
        return exit_code::kFile;
    }
    return exit_code::kExchange;
}
} // namespace

int RunCapture(CommandContext &context) {
    capture::CaptureSettings settings;
    ConversionRequest conversion;
    bool json = false;
    const QString error = parseSettings(context, settings, conversion, json);
    if (!error.isEmpty())
        return context.usage(error);
    // Before the board is touched, every name the run may write: a file that exists stays as
    // it is without --force, a later part of a split included.
    const bool split = settings.splitMs > 0;
    if (const platform::FileError refused =
            capture::CheckCapturePaths(settings.path, split, settings.force);
        refused.failed()) {
        context.console().message(refused.text());
        return exit_code::kFile;
    }
    if (const int status = context.connect())
        return status;

    const ChipSupport &chip = context.chip();
    const std::vector<uint8_t> image = ReadChipImage(context.link(), chip);
    const capture::CaptureFacts facts =
        capture::MakeFacts(QLatin1String(chip.name), image, FactsOf(chip, conversion, image),
                           QDateTime::currentDateTime());

    Console &console = context.console();
    if (const QString note = UnclaimedVoltsNote(chip, facts.conversion); !note.isEmpty())
        console.message(note);
    // The first SIGINT or SIGTERM stops after the item in flight, a second ends the drain.
    const StopSignals stopSignals;
    capture::CaptureHooks hooks;
    hooks.stopRequested = [] { return StopSignals::count() > 0; };
    hooks.abortDrain = [] { return StopSignals::count() > 1; };
    // The progress line, a few times a second, on the engine's event cadence.
    const capture::CaptureEngine *running = nullptr;
    auto lastDrawn = std::chrono::steady_clock::now();
    hooks.pumpIntervalMs = 100; // the line is drawn four times a second
    hooks.pumpEvents = [&] {
        const auto now = std::chrono::steady_clock::now();
        if (!running || now - lastDrawn < std::chrono::milliseconds(250))
            return;
        lastDrawn = now;
        console.status(progressLine(running->snapshot()));
    };
    if (context.startTogether())
        settings.clock = context.startTogether()();
    // A lost board is told, looked for, and brought back as it was at the start.
    hooks.boardLost = [&console](const capture::GapRecord &gap) {
        console.message(
            QStringLiteral("Board lost at %1 (%2); waiting for it to come back")
                .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), gap.cause));
    };
    hooks.boardBack = [&console](const capture::GapRecord &gap) {
        console.message(QStringLiteral("Board back at %1 after %2 s; %3 conversions lost")
                            .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")))
                            .arg(gap.lengthSeconds, 0, 'f', 1)
                            .arg(gap.lost));
    };
    hooks.restoreBoard = [&chip, &image, mode = conversion.mode](BoardLink &link) {
        const ChipRestore restored = RestoreChip(link, chip, image, mode);
        return capture::BoardRestored{restored.ok, restored.wroteBack, restored.reason};
    };
    capture::CaptureEngine engine(context.board(), settings, facts, hooks);
    running = &engine;
    const capture::CaptureResult result = engine.run();
    console.endProgress();
    // The engine tells nothing itself: a fault's message goes to standard error.
    if (const QString fault = capture::FaultMessage(result); !fault.isEmpty())
        console.message(fault);
    // The last file written, never one the run failed to make.
    const QString lastFile =
        result.files > 0 ? capture::PartPath(settings.path, result.files, split) : QString();
    if (json)
        WriteCaptureJson(context.out(), result, lastFile, facts.conversion);
    else
        WriteCaptureText(context.out(), result, lastFile);
    return exitStatusOf(context, result);
}

} // namespace cli
