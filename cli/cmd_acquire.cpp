// acquire: the window's acquisition without the window, and its results as files or text.

#include "chips/tables/number_text.h"
#include "commands.h"
#include "conversion_options.h"
#include "exit_codes.h"
#include "output_formats.h"

#include "acquisition/acquisition_messages.h"
#include "acquisition/data_count.h"
#include "acquisition/data_files.h"
#include "acquisition/samples.h"
#include "acquisition/transfer.h"
#include "analysis/noise_figures.h"
#include "analysis/record_csv.h"
#include "analysis/spectrum.h"
#include "link/result_codes.h"
#include "platform/file_writer.h"

#include <QFileInfo>
#include <QStringList>

#include <new>
#include <sstream>
#include <vector>

namespace cli {

namespace {
enum class Format { Default, Txt, Bin, Csv };

struct AcquireRequest {
    int count = kDefaultDataCount;
    QString prefix;
    Format format = Format::Default;
    bool stats = false;
    bool json = false;
    QString spectrumPath; // --spectrum FILE
    analysis::WindowKind window = analysis::WindowKind::Hann;
    ConversionRequest conversion; // --reference and --mode
};

// The fewest samples a spectrum is made of.
constexpr int kSpectrumMinimum = 8;

// Parses the arguments; an empty string, or the usage error.
QString parseRequest(CommandContext &context, AcquireRequest &request) {
    QString error;
    const CommandArguments args = SplitArguments(
        context.options().arguments,
        QStringList{QStringLiteral("--count"), QStringLiteral("--out"), QStringLiteral("--format"),
                    QStringLiteral("--spectrum"), QStringLiteral("--window")} +
            ConversionOptionNames(),
        {QStringLiteral("--stats"), QStringLiteral("--json")}, error);
    if (!error.isEmpty())
        return error;
    if (!args.words.isEmpty())
        return QStringLiteral("unexpected argument %1").arg(args.words.front());
    if (args.has(QStringLiteral("--count"))) {
        int64_t count = 0;
        if (!ParseNumberIn(args.value(QStringLiteral("--count")), 1, kMaxDataCount, count))
            return NumberMessage(QStringLiteral("--count"), 1, kMaxDataCount);
        request.count = static_cast<int>(count);
    }
    request.prefix = args.value(QStringLiteral("--out"));
    const QString format = args.value(QStringLiteral("--format"));
    if (format == QLatin1String("txt"))
        request.format = Format::Txt;
    else if (format == QLatin1String("bin"))
        request.format = Format::Bin;
    else if (format == QLatin1String("csv"))
        request.format = Format::Csv;
    else if (!format.isNull())
        return QStringLiteral("--format takes txt, bin or csv");
    request.stats = args.has(QStringLiteral("--stats"));
    request.json = context.options().json || args.has(QStringLiteral("--json"));
    request.spectrumPath = args.value(QStringLiteral("--spectrum"));
    if (!request.spectrumPath.isEmpty() && request.count < kSpectrumMinimum)
        return QStringLiteral("--spectrum needs a --count of %1 or more").arg(kSpectrumMinimum);
    const QString window = args.value(QStringLiteral("--window"));
    if (window == QLatin1String("blackman-harris"))
        request.window = analysis::WindowKind::BlackmanHarris4;
    else if (!window.isNull() && window != QLatin1String("hann"))
        return QStringLiteral("--window takes hann or blackman-harris");
    if (!window.isNull() && !request.stats && request.spectrumPath.isEmpty())
        return QStringLiteral("--window goes with --stats or --spectrum");
    // The figures' volts need the reference, their volts and the spectrum's rate the mode;
    // nothing else has use for them.
    if (args.has(QStringLiteral("--reference")) && !request.stats)
        return QStringLiteral("--reference goes with --stats");
    if (args.has(QStringLiteral("--mode")) && !request.stats && request.spectrumPath.isEmpty())
        return QStringLiteral("--mode goes with --stats or --spectrum");
    error = ReadConversionOptions(args, context.chip(), request.conversion);
    if (!error.isEmpty())
        return error;
    if (request.json && request.format != Format::Default)
        return QStringLiteral("--json and --format are two ways to print the samples; give one");
    if (request.json && !request.stats &&
        (!request.prefix.isEmpty() || !request.spectrumPath.isEmpty()))
        return QStringLiteral("--json: acquire with --out or --spectrum prints no result; add "
                              "--stats to print its figures");
    return QString();
}

// The files of --out: those of "Save File" (PREFIX.bin and PREFIX.txt), or the one of --format.
enum class Content { Raw, Text, Csv };
struct Output {
    QString path;
    Content content;
};

std::vector<Output> outputs(const AcquireRequest &request) {
    const QString &prefix = request.prefix;
    const Output raw{prefix + QStringLiteral(".bin"), Content::Raw};
    const Output text{prefix + QStringLiteral(".txt"), Content::Text};
    switch (request.format) {
    case Format::Default:
        return {raw, text};
    case Format::Bin:
        return {raw};
    case Format::Txt:
        return {text};
    case Format::Csv:
        return {{prefix + QStringLiteral(".csv"), Content::Csv}};
    }
    return {};
}

// Every file --out and --spectrum will write must be writable before the board is touched: a
// long acquisition is not thrown away for a missing folder. An empty string, or the error's
// text.
QString checkOutputPaths(const AcquireRequest &request) {
    QStringList paths;
    if (!request.prefix.isEmpty()) {
        // "--out adir/" would write the hidden adir/.bin and adir/.txt.
        const QString name = QFileInfo(request.prefix).fileName();
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
            return platform::FileError{request.prefix, QStringLiteral("Names a folder, not a file")}
                .text();
        for (const Output &output : outputs(request))
            paths << output.path;
    }
    if (!request.spectrumPath.isEmpty())
        paths << request.spectrumPath;
    for (const QString &path : paths) {
        const platform::FileError error = platform::CheckWritableTarget(path);
        if (error.failed())
            return error.text();
    }
    return QString();
}

QByteArray bytesOf(Content content, const std::vector<uint8_t> &items,
                   const std::vector<int32_t> &samples) {
    switch (content) {
    case Content::Raw:
        return QByteArray(reinterpret_cast<const char *>(items.data()),
                          static_cast<qsizetype>(items.size()));
    case Content::Text:
        return FormatTextFile(samples);
    case Content::Csv:
        break;
    }
    std::ostringstream text;
    WriteSamplesCsv(text, samples);
    const std::string csv = text.str();
    return QByteArray(csv.data(), static_cast<qsizetype>(csv.size()));
}

// Written as one: both files of the pair, or neither.
int writeFiles(CommandContext &context, const AcquireRequest &request,
               const std::vector<uint8_t> &items, const std::vector<int32_t> &samples) {
    std::vector<platform::FileContents> files;
    for (const Output &output : outputs(request))
        files.push_back({output.path, bytesOf(output.content, items, samples)});
    const platform::FileError error = platform::WriteWholeFiles(files);
    if (!error.failed())
        return exit_code::kOk;
    context.console().message(error.text());
    // The window's words for the file that failed.
    for (const Output &output : outputs(request)) {
        if (output.path != error.path || output.content == Content::Csv)
            continue;
        context.console().message(output.content == Content::Raw
                                      ? acquisition_message::SaveRawDataFailed().text
                                      : acquisition_message::SaveDataFailed().text);
    }
    return exit_code::kFile;
}

// --stats and --spectrum: the figures and the spectrum of the analysis window, and the same
// note of a clipped record. The facts give the rate of the spectrum and the figures' volts.
int reportFigures(CommandContext &context, const AcquireRequest &request,
                  const std::vector<int32_t> &samples, const conversion::ConversionFacts &facts) {
    const double rate = facts.dataRateSps;
    SampleStats stats = ComputeStats(samples);
    if (stats.clipped > 0)
        context.console().message(
            QString::fromStdString(analysis::ClippedText(stats.clipped, stats.count)));
    const analysis::Spectrum spectrum =
        analysis::ComputeSpectrum(samples, request.window, rate > 0 ? rate : 1.0);
    if (!request.spectrumPath.isEmpty()) {
        const std::string csv = analysis::SpectrumCsv(spectrum, rate > 0);
        const platform::FileError error = platform::WriteWholeFile(
            request.spectrumPath, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())));
        if (error.failed()) {
            context.console().message(error.text());
            return exit_code::kFile;
        }
    }
    if (request.stats) {
        stats.tone = spectrum.tone;
        if (request.json)
            WriteStatsJson(context.out(), stats, facts);
        else
            WriteStatsText(context.out(), stats, facts);
    }
    return exit_code::kOk;
}

void printSamples(std::ostream &out, const AcquireRequest &request,
                  const std::vector<uint8_t> &items, const std::vector<int32_t> &samples) {
    if (request.json) {
        WriteSamplesJson(out, samples);
        out.flush();
        return;
    }
    switch (request.format) {
    case Format::Txt: {
        const QByteArray text = FormatTextFile(samples);
        out.write(text.constData(), text.size());
        break;
    }
    case Format::Bin:
        out.write(reinterpret_cast<const char *>(items.data()),
                  static_cast<std::streamsize>(items.size()));
        break;
    case Format::Csv:
        WriteSamplesCsv(out, samples);
        break;
    case Format::Default:
        WriteSamplesPlain(out, samples);
        break;
    }
    out.flush();
}
} // namespace

int RunAcquire(CommandContext &context) {
    AcquireRequest request;
    const QString error = parseRequest(context, request);
    if (!error.isEmpty())
        return context.usage(error);
    if (request.prefix.isEmpty() && request.format != Format::Default &&
        (request.stats || !request.spectrumPath.isEmpty()))
        return context.usage(QStringLiteral("--format without --out prints samples; "
                                            "--stats and --spectrum print none"));
    const QString pathError = checkOutputPaths(request);
    if (!pathError.isEmpty()) {
        context.console().message(pathError);
        return exit_code::kFile;
    }
    if (const int status = context.connect())
        return status;

    // As the window does before every acquisition: the chip's registers are read again, and
    // a failure is told but does not stop the acquisition. The data rate they show scales the
    // spectrum; without it, cycles per sample.
    const ChipSupport &chip = context.chip();
    const conversion::ConversionFacts facts =
        FactsOf(chip, request.conversion, ReadChipImage(context.link(), chip));

    std::vector<uint8_t> items;
    try {
        items.assign(static_cast<size_t>(request.count) * 4, 0);
    } catch (const std::bad_alloc &) {
        context.console().message(
            QStringLiteral("not enough memory for %1 items").arg(request.count));
        return exit_code::kExchange;
    }
    TransferHooks hooks;
    Console &console = context.console();
    // The transfer sets the bar back to 0 when it ends; the line is blanked instead.
    hooks.setProgress = [&console, started = false](int percent) mutable {
        if (percent == 0 && started)
            return;
        started = true;
        console.progress(QStringLiteral("Collecting"), percent);
    };
    const int result = TransferSamples(context.link(), items.data(), request.count, hooks);
    console.endProgress();
    if (result == result::kBadReply)
        return exit_code::kItemChecksum; // the item's index is in the message already
    if (result != 0)
        return context.exchangeFailed(QStringLiteral("acquire"), result);

    std::vector<int32_t> samples;
    ConvertSamples(items.data(), request.count, samples);
    if (!request.prefix.isEmpty()) {
        if (const int status = writeFiles(context, request, items, samples))
            return status;
    } else if (!request.stats && request.spectrumPath.isEmpty()) {
        printSamples(context.out(), request, items, samples);
    }
    if (request.stats || !request.spectrumPath.isEmpty())
        return reportFigures(context, request, samples, facts);
    return exit_code::kOk;
}

} // namespace cli
