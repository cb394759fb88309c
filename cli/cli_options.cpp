#include "cli_options.h"

#include "chip_table.h"
#include "link/chip_catalog.h"

namespace cli {

namespace {
// The value of "--name=VALUE" or "--name VALUE"; false when the option is something else.
bool takeValue(const QStringList &arguments, int &i, const QString &name, QString &value,
               QString &error) {
    const QString &argument = arguments.at(i);
    if (argument.startsWith(name + u'=')) {
        value = argument.mid(name.size() + 1);
    } else if (argument == name) {
        if (i + 1 >= arguments.size()) {
            error = QStringLiteral("%1 needs a value").arg(name);
            return true;
        }
        value = arguments.at(++i);
    } else {
        return false;
    }
    if (value.isEmpty())
        error = QStringLiteral("%1 needs a value").arg(name);
    // "--port --json" means an option the user forgot the value of, not a port named --json.
    else if (value.startsWith(QLatin1String("--")))
        error = QStringLiteral("%1 needs a value, not %2 (a value never begins with --)")
                    .arg(name, value);
    return true;
}

QString chipNamed(const QString &name, QString &error) {
    const ChipSupport *chip = FindChipSupport(name);
    if (!chip) {
        error = QStringLiteral("unknown chip %1 (%2)")
                    .arg(name, QString::fromStdString(ChipNames(" or ")));
        return QString();
    }
    return QLatin1String(chip->name);
}
} // namespace

CliOptions ParseCliOptions(const QStringList &arguments) {
    CliOptions options;
    for (int i = 0; i < arguments.size() && options.error.isEmpty(); ++i) {
        const QString &argument = arguments.at(i);
        QString value;
        if (takeValue(arguments, i, QStringLiteral("--port"), value, options.error)) {
            options.ports << value;
        } else if (takeValue(arguments, i, QStringLiteral("--chip"), value, options.error)) {
            if (options.error.isEmpty())
                options.chip = chipNamed(value, options.error);
        } else if (takeValue(arguments, i, QStringLiteral("--write-man"), value, options.error)) {
            options.manPath = value;
        } else if (argument == QLatin1String("--simulate")) {
            options.simulate = true;
        } else if (argument.startsWith(QLatin1String("--simulate="))) {
            options.simulate = true;
            options.simulatedChip = chipNamed(argument.mid(11), options.error);
        } else if (argument == QLatin1String("--no-scan")) {
            options.noScan = true;
        } else if (argument == QLatin1String("--json")) {
            options.json = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
        } else if (argument.startsWith(u'-')) {
            options.error = QStringLiteral("unknown option %1").arg(argument);
        } else {
            options.command = argument;
            options.arguments = arguments.mid(i + 1);
            break;
        }
    }
    // A plain --simulate serves the chip the run expects: --chip VXC5420 --simulate is a
    // VXC5420 board.
    if (options.simulate && options.simulatedChip.isEmpty()) {
        options.simulatedChip =
            options.chip.isEmpty() ? QLatin1String(ChipTable().front().name) : options.chip;
    }
    return options;
}

QString ExpectedChip(const CliOptions &options) {
    if (!options.chip.isEmpty())
        return options.chip;
    if (options.simulate)
        return options.simulatedChip;
    return QLatin1String(ChipTable().front().name);
}

bool CommandArguments::has(const QString &name) const {
    for (const auto &option : options) {
        if (option.first == name)
            return true;
    }
    return false;
}

QString CommandArguments::value(const QString &name) const {
    QString found;
    for (const auto &option : options) {
        if (option.first == name)
            found = option.second;
    }
    return found;
}

CommandArguments SplitArguments(const QStringList &arguments, const QStringList &valueOptions,
                                const QStringList &flags, QString &error) {
    CommandArguments split;
    for (int i = 0; i < arguments.size() && error.isEmpty(); ++i) {
        const QString &argument = arguments.at(i);
        if (!argument.startsWith(QLatin1String("--")) || argument == QLatin1String("--")) {
            split.words << argument;
            continue;
        }
        if (flags.contains(argument)) {
            split.options.append({argument, QString()});
            continue;
        }
        bool taken = false;
        for (const QString &name : valueOptions) {
            QString value;
            if (takeValue(arguments, i, name, value, error)) {
                split.options.append({name, value});
                taken = true;
                break;
            }
        }
        if (!taken && error.isEmpty())
            error = QStringLiteral("unknown option %1").arg(argument);
    }
    return split;
}

} // namespace cli
