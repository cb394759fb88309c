#include "cli_options.h"

#include "chips/tables/chip_table.h"
#include "chips/tables/number_text.h"
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

QString RepeatedOptionMessage(const QString &name) {
    return QStringLiteral("%1 given twice (give it once)").arg(name);
}

CliOptions ParseCliOptions(const QStringList &arguments) {
    CliOptions options;
    // Every option but --port (a list of devices) is given once.
    QStringList seen;
    const auto once = [&seen, &options](const QString &name) {
        if (seen.contains(name))
            options.error = RepeatedOptionMessage(name);
        seen << name;
    };
    bool paceGiven = false;
    for (int i = 0; i < arguments.size() && options.error.isEmpty(); ++i) {
        const QString &argument = arguments.at(i);
        QString value;
        if (takeValue(arguments, i, QStringLiteral("--port"), value, options.error)) {
            options.ports << value;
        } else if (takeValue(arguments, i, QStringLiteral("--chip"), value, options.error)) {
            once(QStringLiteral("--chip"));
            if (options.error.isEmpty())
                options.chip = chipNamed(value, options.error);
        } else if (takeValue(arguments, i, QStringLiteral("--pace"), value, options.error)) {
            once(QStringLiteral("--pace"));
            if (options.error.isEmpty() && !sim::ParsePacing(value.toStdString(), options.pacing))
                options.error = QStringLiteral("--pace=%1 needs real, wire or none").arg(value);
            paceGiven = true;
        } else if (takeValue(arguments, i, QStringLiteral("--write-man"), value, options.error)) {
            once(QStringLiteral("--write-man"));
            options.manPath = value;
        } else if (argument == QLatin1String("--simulate")) {
            once(QStringLiteral("--simulate"));
            options.simulate = true;
        } else if (argument.startsWith(QLatin1String("--simulate="))) {
            once(QStringLiteral("--simulate"));
            options.simulate = true;
            for (const QString &name : argument.mid(11).split(u',')) {
                if (options.error.isEmpty())
                    options.simulatedChips << chipNamed(name, options.error);
            }
        } else if (argument == QLatin1String("--all-boards")) {
            once(argument);
            options.allBoards = true;
        } else if (argument == QLatin1String("--no-scan")) {
            once(argument);
            options.noScan = true;
        } else if (argument == QLatin1String("--json")) {
            once(argument);
            options.json = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
        } else if (argument.startsWith(u'-')) {
            options.error = QStringLiteral("unknown option %1").arg(argument);
        } else {
            options.command = argument;
            options.arguments = arguments.mid(i + 1);
            // --json may follow the command's name instead, not both.
            if (options.json && options.arguments.contains(QLatin1String("--json")))
                options.error = RepeatedOptionMessage(QStringLiteral("--json"));
            break;
        }
    }
    if (paceGiven && !options.simulate && options.error.isEmpty())
        options.error = QStringLiteral("--pace needs --simulate");
    // A plain --simulate serves the chip the run expects: --chip VXC5420 --simulate is a
    // VXC5420 board.
    if (options.simulate && options.simulatedChips.isEmpty()) {
        options.simulatedChips << (options.chip.isEmpty() ? QLatin1String(ChipTable().front().name)
                                                          : options.chip);
    }
    if (options.simulate && options.error.isEmpty())
        options.simulatedChip = options.simulatedChips.front();
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
    for (const auto &option : options) {
        if (option.first == name)
            return option.second;
    }
    return QString();
}

bool CommandArguments::number(const QString &name, int64_t lowest, int64_t highest, int64_t &value,
                              QString &error) const {
    if (!has(name))
        return true;
    if (ParseNumberIn(this->value(name), lowest, highest, value))
        return true;
    error = NumberMessage(name, lowest, highest);
    return false;
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
            if (split.has(argument))
                error = RepeatedOptionMessage(argument);
            split.options.append({argument, QString()});
            continue;
        }
        bool taken = false;
        for (const QString &name : valueOptions) {
            QString value;
            if (takeValue(arguments, i, name, value, error)) {
                if (split.has(name) && error.isEmpty())
                    error = RepeatedOptionMessage(name);
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
