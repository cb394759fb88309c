#include "command_line.h"

#include "link/chip_catalog.h"
#include "sim/virtual_board.h"
#include "version_info.h"

#include <QCommandLineParser>

namespace {
// One entry per option: the parser reads it and --help prints it.
struct OptionEntry {
    QStringList names;
    const char *valueName; // null for an option without a value
    const char *help;      // lines of the usage text, "\n" between them
};

const QString kPort = QStringLiteral("port");
const QString kSimulate = QStringLiteral("simulate");
const QString kSine = QStringLiteral("sine");
const QString kPace = QStringLiteral("pace");
const QString kDetectAndQuit = QStringLiteral("detect-and-quit");
const QString kFirmwareImage = QStringLiteral("firmware-image");
const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");

const std::vector<OptionEntry> &Options() {
    static const std::vector<OptionEntry> options = {
        {{kPort}, "PATH", "try this serial device first (may be repeated)"},
        {{kSimulate},
         "CHIP",
         "serve a virtual board and try its port first; \"Update\n"
         "Firmware\" then writes to a simulated update device"},
        {{kSine},
         "F:A",
         "the virtual board adds a sine of F hertz and A volts\namplitude to its inputs"},
        {{kPace},
         "MODE",
         "the virtual board's pace: real (default), conversions at\n"
         "the chip's data rate and items no faster than the\n"
         "115200-baud line; wire, items at the line's pace\n"
         "whatever the data rate; none, as fast as they are read"},
        {{kDetectAndQuit},
         nullptr,
         "press \"Detect EVM\" once the window is shown, then quit:\n"
         "exit status 0 when a chip panel opened, 1 otherwise"},
        {{kFirmwareImage},
         "PATH",
         "the image \"Update Firmware\" writes, in place of the\none the build carries"},
        {{kHelp, QStringLiteral("h")}, nullptr, "print this text and end"},
        {{kVersion}, nullptr, "print the version and end"},
    };
    return options;
}

// Whether the option of this name takes the next word as its value.
bool takesValue(const QString &name) {
    for (const OptionEntry &entry : Options()) {
        if (entry.valueName && entry.names.contains(name))
            return true;
    }
    return false;
}

// The catalogue's spelling of a chip name given in any case, or an empty string.
QString catalogueName(const QString &name) {
    for (const ChipCatalogEntry *row = g_chipCatalog; row->valid != -1; ++row) {
        if (name.compare(QLatin1String(row->name), Qt::CaseInsensitive) == 0)
            return QLatin1String(row->name);
    }
    return QString();
}

// Reads the arguments after the program name; false with the error when they cannot be read.
// The parser's options are set whatever the outcome, so --help is seen among wrong ones.
bool ReadArguments(QCommandLineParser &parser, const QStringList &arguments, QString &error) {
    // "-h" is help, and an option of Qt's own such as -platform is one word, not letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionEntry &entry : Options()) {
        QCommandLineOption option(entry.names);
        if (entry.valueName)
            option.setValueName(QLatin1String(entry.valueName));
        parser.addOption(option);
    }
    // --simulate names its chip only after "=": a bare one is the catalogue's first chip, and the
    // word after it is never taken for its value. A bare one that stands as another option's
    // value stays as it is, to be refused as a value.
    QStringList words{QStringLiteral("Pellorin")};
    bool isValue = false;
    for (const QString &argument : arguments) {
        const QString name = argument.startsWith(QLatin1String("--")) ? argument.mid(2)
                             : argument.startsWith(u'-')              ? argument.mid(1)
                                                                      : QString();
        const bool bareSimulate = !isValue && name == kSimulate;
        words << (bareSimulate
                      ? QStringLiteral("--simulate=%1").arg(QLatin1String(g_chipCatalog[0].name))
                      : argument);
        isValue = !isValue && takesValue(name);
    }
    if (!parser.parse(words)) {
        error = parser.errorText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unknown argument %1").arg(parser.positionalArguments().front());
        return false;
    }
    for (const OptionEntry &entry : Options()) {
        if (!entry.valueName)
            continue;
        for (const QString &value : parser.values(entry.names.front())) {
            if (value.startsWith(QLatin1String("--"))) {
                error = QStringLiteral("--%1 needs a value, not %2 (a value never begins with --)")
                            .arg(entry.names.front(), value);
                return false;
            }
        }
    }
    return true;
}
} // namespace

StartOptions ParseCommandLine(const QStringList &arguments) {
    StartOptions options;
    QCommandLineParser parser;
    if (!ReadArguments(parser, arguments, options.error))
        return options;
    options.help = parser.isSet(kHelp) || parser.isSet(kVersion);
    options.detectAndQuit = parser.isSet(kDetectAndQuit);
    for (const QString &path : parser.values(kPort)) {
        if (path.isEmpty()) {
            options.error = QStringLiteral("--port needs a device path");
            return options;
        }
        options.ports << path;
    }
    if (parser.isSet(kFirmwareImage)) {
        options.firmwareImage = parser.value(kFirmwareImage);
        if (options.firmwareImage.isEmpty()) {
            options.error = QStringLiteral("--firmware-image needs a file path");
            return options;
        }
    }
    if (parser.isSet(kSimulate)) {
        options.simulate = true;
        options.simulatedChip = catalogueName(parser.value(kSimulate));
        if (options.simulatedChip.isEmpty()) {
            options.error =
                QStringLiteral("unknown chip in --simulate=%1 (%2)")
                    .arg(parser.value(kSimulate), QString::fromStdString(ChipNames(" or ")));
            return options;
        }
    }
    if (parser.isSet(kSine)) {
        const QString sine = parser.value(kSine);
        if (!sim::ParseSine(sine.toStdString(), options.sineHz, options.sineVolts)) {
            options.error = QStringLiteral("--sine=%1 needs FREQ_HZ:AMPLITUDE_V").arg(sine);
            return options;
        }
        if (!options.simulate) {
            options.error = QStringLiteral("--sine needs --simulate");
            return options;
        }
    }
    if (parser.isSet(kPace)) {
        const QString pace = parser.value(kPace);
        if (!sim::ParsePacing(pace.toStdString(), options.pacing))
            options.error = QStringLiteral("--pace=%1 needs real, wire or none").arg(pace);
        else if (!options.simulate)
            options.error = QStringLiteral("--pace needs --simulate");
    }
    return options;
}

QString CommandLineUsage() {
    QString text =
        QStringLiteral("Usage: Pellorin [--port PATH]... [--simulate[=%1]\n"
                       "                [--sine=FREQ_HZ:AMPLITUDE_V] [--pace=real|wire|none]]\n"
                       "                [--detect-and-quit] [--firmware-image PATH]\n")
            .arg(QString::fromStdString(ChipNames("|")));
    constexpr int kHelpColumn = 25;
    for (const OptionEntry &entry : Options()) {
        QString name = QStringLiteral("--") + entry.names.front();
        if (entry.valueName)
            name += (entry.names.front() == kSine || entry.names.front() == kPace ? u'=' : u' ') +
                    QLatin1String(entry.valueName);
        if (entry.names.front() == kSimulate)
            name = QStringLiteral("--simulate");
        const QStringList lines = QString::fromLatin1(entry.help).split(u'\n');
        text += QStringLiteral("  %1 %2\n").arg(name, -(kHelpColumn - 3)).arg(lines.front());
        for (qsizetype i = 1; i < lines.size(); ++i)
            text += QString(kHelpColumn, u' ') + lines.at(i) + u'\n';
    }
    return text;
}

PrintOnly PrintOnlyRequest(int argc, const char *const *argv) {
    QStringList arguments;
    for (int i = 1; i < argc && argv[i]; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Qt's own options are still among them here; whatever else is wrong is told later, with
    // a display.
    QCommandLineParser parser;
    QString ignored;
    ReadArguments(parser, arguments, ignored);
    if (parser.isSet(kHelp))
        return PrintOnly::Help;
    if (parser.isSet(kVersion))
        return PrintOnly::Version;
    return PrintOnly::None;
}

QString VersionLine() {
    ProductVersion version{};
    ReadVersionInfo(version);
    return QStringLiteral("Pellorin %1.%2.%3.%4")
        .arg(version[0])
        .arg(version[1])
        .arg(version[2])
        .arg(version[3]);
}
