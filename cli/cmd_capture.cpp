// capture: the window's continuous capture without the window, to an HDF5 or CSV file.

#include "commands.h"
#include "exit_codes.h"
#include "number_text.h"
#include "output_formats.h"

#include "capture/capture_engine.h"
#include "capture/capture_facts.h"
#include "capture/duration_text.h"
#include "capture/file_names.h"
#include "link/register_range.h"

#include <QDateTime>

#include <atomic>
#include <chrono>
#include <csignal>

namespace cli {

namespace {
std::atomic<int> g_stopSignals{0};

extern "C" void OnStopSignal(int) {
    g_stopSignals.fetch_add(1);
}

// SIGINT and SIGTERM ask the capture to stop (a second one also ends the drain); a file-size
// limit fails the write (EFBIG) instead of killing the program. Restored when it goes.
class CaptureSignals {
  public:
    CaptureSignals() {
        g_stopSignals = 0;
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_int);
        sigaction(SIGTERM, &action, &m_term);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &m_fsize);
    }
    ~CaptureSignals() {
        sigaction(SIGINT, &m_int, nullptr);
        sigaction(SIGTERM, &m_term, nullptr);
        sigaction(SIGXFSZ, &m_fsize, nullptr);
    }
    CaptureSignals(const CaptureSignals &) = delete;
    CaptureSignals &operator=(const CaptureSignals &) = delete;

  private:
    struct sigaction m_int {};
    struct sigaction m_term {};
    struct sigaction m_fsize {};
};

// Parses the arguments into settings; an empty string, or the usage error.
QString parseSettings(CommandContext &context, capture::CaptureSettings &settings, bool &json) {
    QString error;
    const CommandArguments args = SplitArguments(
        context.options().arguments,
        {QStringLiteral("--out"), QStringLiteral("--format"), QStringLiteral("--block"),
         QStringLiteral("--duration"), QStringLiteral("--samples"), QStringLiteral("--split")},
        {QStringLiteral("--force"), QStringLiteral("--json")}, error);
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
    if (args.has(QStringLiteral("--block"))) {
        int64_t block = 0;
        if (!ParseNumber(args.value(QStringLiteral("--block")), block) || block < 1 ||
            block > capture::kMaxBlockItems)
            return QStringLiteral("--block takes a number from 1 to 65535");
        settings.blockItems = static_cast<int>(block);
    }
    const bool duration = args.has(QStringLiteral("--duration"));
    const bool samples = args.has(QStringLiteral("--samples"));
    if (duration && samples)
        return QStringLiteral("--duration and --samples do not go together");
    if (duration) {
        settings.durationMs = capture::ParseDuration(args.value(QStringLiteral("--duration")));
        if (settings.durationMs <= 0)
            return QStringLiteral("--duration takes SECONDS or H:MM:SS, more than 0");
        settings.stop = capture::StopRule::Duration;
    }
    if (samples) {
        int64_t count = 0;
        if (!ParseNumber(args.value(QStringLiteral("--samples")), count) || count < 1)
            return QStringLiteral("--samples takes a number of 1 or more");
        settings.samples = count;
        settings.stop = capture::StopRule::Samples;
    }
    if (args.has(QStringLiteral("--split"))) {
        settings.splitMs = capture::ParseDuration(args.value(QStringLiteral("--split")));
        if (settings.splitMs <= 0)
            return QStringLiteral("--split takes H:MM:SS (or SECONDS), more than 0");
    }
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

int exitStatusOf(const capture::CaptureResult &result) {
    switch (result.status) {
    case capture::CaptureStatus::Ok:
        return exit_code::kOk;
    case capture::CaptureStatus::Exchange:
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
    bool json = false;
    const QString error = parseSettings(context, settings, json);
    if (!error.isEmpty())
        return context.usage(error);
    // Before the board is touched: a file that exists stays as it is without --force.
    const QString firstPath = capture::PartPath(settings.path, 1, settings.splitMs > 0);
    if (const QString refused = capture::CheckOutputPath(firstPath, settings.force);
        !refused.isEmpty()) {
        context.console().message(refused);
        return exit_code::kFile;
    }
    if (const int status = context.connect())
        return status;

    const ChipSupport &chip = context.chip();
    std::vector<uint8_t> image(static_cast<size_t>(chip.registerCount()), 0);
    if (!image.empty())
        ReadRegisterRange(image.data(), chip.registerCount(), nullptr);
    const analysis::ConversionScale scale =
        chip.scaleOf ? chip.scaleOf(image) : analysis::ConversionScale{};
    const capture::CaptureFacts facts =
        capture::MakeFacts(QLatin1String(chip.name), image, scale, QDateTime::currentDateTime());

    Console &console = context.console();
    const CaptureSignals stopSignals;
    capture::CaptureHooks hooks;
    hooks.stopRequested = [] { return g_stopSignals.load() > 0; };
    hooks.abortDrain = [] { return g_stopSignals.load() > 1; };
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
    capture::CaptureEngine engine(settings, facts, hooks);
    running = &engine;
    const capture::CaptureResult result = engine.run();
    console.endProgress();
    // The engine tells nothing itself: a fault's message goes to standard error.
    if (const QString fault = capture::FaultMessage(result); !fault.isEmpty())
        console.message(fault);
    const QString lastFile = engine.snapshot().filePath;
    if (json)
        WriteCaptureJson(context.out(), result, lastFile);
    else
        WriteCaptureText(context.out(), result, lastFile);
    return exitStatusOf(result);
}

} // namespace cli
