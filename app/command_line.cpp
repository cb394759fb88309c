#include "command_line.h"

#include "link/chip_catalog.h"
#include "sim/virtual_board.h"
#include "version_info.h"

#include <cstring>

namespace {
// The catalogue's spelling of a chip name given in any case, or an empty string.
QString catalogueName(const QString &name) {
    for (const ChipCatalogEntry *row = g_chipCatalog; row->valid != -1; ++row) {
        if (name.compare(QLatin1String(row->name), Qt::CaseInsensitive) == 0)
            return QLatin1String(row->name);
    }
    return QString();
}
} // namespace

StartOptions ParseCommandLine(const QStringList &arguments) {
    StartOptions options;
    const QString portOption = QStringLiteral("--port");
    const QString simulateOption = QStringLiteral("--simulate");
    const QString imageOption = QStringLiteral("--firmware-image");
    const QString sineOption = QStringLiteral("--sine=");
    for (int i = 0; i < arguments.size() && options.error.isEmpty(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == portOption) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty())
                options.error = QStringLiteral("--port needs a device path");
            else
                options.ports << arguments.at(++i);
        } else if (argument.startsWith(portOption + u'=')) {
            const QString path = argument.mid(portOption.size() + 1);
            if (path.isEmpty())
                options.error = QStringLiteral("--port needs a device path");
            else
                options.ports << path;
        } else if (argument == imageOption || argument.startsWith(imageOption + u'=')) {
            const bool separate = argument == imageOption;
            if (separate && i + 1 < arguments.size())
                options.firmwareImage = arguments.at(++i);
            else if (!separate)
                options.firmwareImage = argument.mid(imageOption.size() + 1);
            if (options.firmwareImage.isEmpty())
                options.error = QStringLiteral("--firmware-image needs a file path");
        } else if (argument == simulateOption) {
            options.simulate = true;
            options.simulatedChip = QLatin1String(g_chipCatalog[0].name);
        } else if (argument.startsWith(simulateOption + u'=')) {
            options.simulate = true;
            options.simulatedChip = catalogueName(argument.mid(simulateOption.size() + 1));
            if (options.simulatedChip.isEmpty())
                options.error = QStringLiteral("unknown chip in %1").arg(argument);
        } else if (argument == QLatin1String("--detect-and-quit")) {
            options.detectAndQuit = true;
        } else if (argument.startsWith(sineOption)) {
            if (!sim::ParseSine(argument.mid(sineOption.size()).toStdString(), options.sineHz,
                                options.sineVolts))
                options.error = QStringLiteral("%1 needs FREQ_HZ:AMPLITUDE_V").arg(argument);
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h") ||
                   argument == QLatin1String("--version")) {
            options.help = true;
        } else {
            options.error = QStringLiteral("unknown argument %1").arg(argument);
        }
    }
    if (options.error.isEmpty() && options.sineHz > 0 && !options.simulate)
        options.error = QStringLiteral("--sine needs --simulate");
    return options;
}

QString CommandLineUsage() {
    return QStringLiteral(
        "Usage: Pellorin [--port PATH]... [--simulate[=VXC5480|VXC5420]\n"
        "                [--sine=FREQ_HZ:AMPLITUDE_V]] [--detect-and-quit]\n"
        "                [--firmware-image PATH]\n"
        "  --port PATH            try this serial device first (may be repeated)\n"
        "  --simulate             serve a virtual board and try its port first; \"Update\n"
        "                         Firmware\" then writes to a simulated update device\n"
        "  --sine=F:A             the virtual board adds a sine of F hertz and A volts\n"
        "                         amplitude to its inputs\n"
        "  --detect-and-quit      press \"Detect EVM\" once the window is shown, then quit:\n"
        "                         exit status 0 when a chip panel opened, 1 otherwise\n"
        "  --firmware-image PATH  the image \"Update Firmware\" writes, in place of the\n"
        "                         one the build carries\n"
        "  --help                 print this text and end\n"
        "  --version              print the version and end\n");
}

PrintOnly PrintOnlyRequest(int argc, const char *const *argv) {
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return PrintOnly::Help;
        if (std::strcmp(argv[i], "--version") == 0)
            return PrintOnly::Version;
    }
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
