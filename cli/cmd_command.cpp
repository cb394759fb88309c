// command: one of the chip commands the panels send.

#include "chips/tables/number_text.h"
#include "commands.h"
#include "exit_codes.h"

#include "link/protocol.h"

namespace cli {

namespace {
// The chip of the catalogue that has this command, other than the expected one, or null.
const ChipSupport *otherChipWith(const ChipSupport &expected, const QString &name) {
    for (const ChipSupport &chip : ChipTable()) {
        if (chip.chipId != expected.chipId && FindCommand(chip, name))
            return &chip;
    }
    return nullptr;
}
} // namespace

int RunCommand(CommandContext &context) {
    QString error;
    const CommandArguments args = SplitArguments(context.options().arguments, {}, {}, error);
    if (!error.isEmpty())
        return context.usage(error);
    if (args.words.isEmpty() || args.words.size() > 2)
        return context.usage(QStringLiteral("command takes a name and at most one argument"));
    const QString name = args.words.front();
    const ChipSupport &chip = context.chip();
    const CommandEntry *entry = FindCommand(chip, name);
    if (!entry) {
        if (name.compare(QLatin1String("sync"), Qt::CaseInsensitive) == 0) {
            // The panels' "Sync" copies the Read column into the Write column; no frame goes
            // to the board, and the bridge has no such command.
            return context.unavailable(QStringLiteral(
                "sync: the board has no sync command; the panels' \"Sync\" only copies the Read "
                "column into the Write column (use regs, then set)"));
        }
        if (const ChipSupport *other = otherChipWith(chip, name)) {
            return context.unavailable(
                QStringLiteral("%1 is a command of %2, not of %3")
                    .arg(name, QLatin1String(other->name), QLatin1String(chip.name)));
        }
        return context.usage(
            QStringLiteral("%1 has no command %2").arg(QLatin1String(chip.name), name));
    }
    const bool takesArgument = entry->maxArgument > 0;
    const bool argumentGiven = args.words.size() == 2;
    int64_t argument = 0;
    if (!takesArgument && argumentGiven)
        return context.usage(QStringLiteral("%1 takes no argument").arg(name));
    if (takesArgument && (!argumentGiven || !ParseNumberIn(args.words.at(1), entry->minArgument,
                                                           entry->maxArgument, argument))) {
        return context.usage(NumberMessage(QStringLiteral("%1: the argument").arg(name),
                                           entry->minArgument, entry->maxArgument));
    }
    if (const int status = context.connect())
        return status;
    const int result = SendCommand(context.link(), entry->code, static_cast<uint8_t>(argument));
    if (result != 0) {
        if (entry->failureText)
            context.console().message(entry->failureText(context.link().chipName()));
        return context.exchangeFailed(QStringLiteral("command %1").arg(entry->name), result);
    }
    return exit_code::kOk;
}

} // namespace cli
