// regs, get and set: the chip's registers by name or address.

#include "chips/tables/number_text.h"
#include "chips/tables/register_writes.h"
#include "commands.h"
#include "exit_codes.h"
#include "output_formats.h"

#include "link/register_range.h"

#include <vector>

namespace cli {

namespace {
// The register map of the chip, or the exit status telling that this build has none.
int needRegisterMap(CommandContext &context) {
    if (context.chip().registerCount() > 0)
        return exit_code::kOk;
    return context.unavailable(
        QStringLiteral("%1: the registers of %2 are not available in this build")
            .arg(context.options().command, QLatin1String(context.chip().name)));
}

QString nameOf(const ChipSupport &chip, int address) {
    return QLatin1String(chip.registerNames[address]);
}

CommandArguments splitPlain(CommandContext &context, QString &error) {
    return SplitArguments(context.options().arguments, {}, {QStringLiteral("--json")}, error);
}

bool wantsJson(const CommandContext &context, const CommandArguments &args) {
    return context.options().json || args.has(QStringLiteral("--json"));
}

void writeJson(CommandContext &context, const std::vector<RegisterRow> &rows) {
    WriteRegisterJson(context.out(), QLatin1String(context.chip().name), context.port(), rows);
}
} // namespace

int RunRegs(CommandContext &context) {
    QString error;
    const CommandArguments args = splitPlain(context, error);
    if (!error.isEmpty())
        return context.usage(error);
    if (!args.words.isEmpty())
        return context.usage(QStringLiteral("regs takes no arguments"));
    if (const int status = needRegisterMap(context))
        return status;
    if (const int status = context.connect())
        return status;
    const ChipSupport &chip = context.chip();
    std::vector<uint8_t> image(static_cast<size_t>(chip.registerCount()), 0);
    const int result =
        ReadRegisterRange(context.link(), image.data(), chip.registerCount(), nullptr);
    if (result != 0)
        return context.exchangeFailed(QStringLiteral("regs: reading the registers"), result);
    std::vector<RegisterRow> rows;
    for (int address = 0; address < chip.registerCount(); ++address)
        rows.push_back({address, nameOf(chip, address), image[static_cast<size_t>(address)]});
    if (wantsJson(context, args))
        writeJson(context, rows);
    else
        WriteRegisterTable(context.out(), rows);
    return exit_code::kOk;
}

int RunGet(CommandContext &context) {
    QString error;
    const CommandArguments args = splitPlain(context, error);
    if (!error.isEmpty())
        return context.usage(error);
    if (args.words.size() != 1)
        return context.usage(QStringLiteral("get takes one register name or address"));
    if (const int status = needRegisterMap(context))
        return status;
    const int address = RegisterAddress(context.chip(), args.words.front());
    if (address < 0) {
        return context.usage(QStringLiteral("%1 has no register %2")
                                 .arg(QLatin1String(context.chip().name), args.words.front()));
    }
    if (const int status = context.connect())
        return status;
    uint8_t value = 0;
    const int result =
        ReadRegisterAt(context.link(), static_cast<uint8_t>(address), value, nullptr);
    if (result != 0)
        return context.exchangeFailed(QStringLiteral("get: reading the register"), result);
    if (wantsJson(context, args))
        writeJson(context, {{address, nameOf(context.chip(), address), value}});
    else
        context.out() << HexByte(value).toStdString() << '\n';
    return exit_code::kOk;
}

int RunSet(CommandContext &context) {
    QString error;
    const CommandArguments args = splitPlain(context, error);
    if (!error.isEmpty())
        return context.usage(error);
    if (args.words.isEmpty())
        return context.usage(QStringLiteral("set needs NAME=VALUE"));
    if (const int status = needRegisterMap(context))
        return status;
    const ChipSupport &chip = context.chip();
    // Every assignment is checked before the first write: a typo must not leave half a setting.
    std::vector<RegisterWrite> writes;
    for (const QString &word : args.words) {
        const qsizetype equals = word.indexOf(u'=');
        if (equals <= 0)
            return context.usage(QStringLiteral("%1 is not NAME=VALUE").arg(word));
        int64_t value = -1;
        if (!ParseNumber(word.mid(equals + 1), value))
            value = -1; // refused below, after the name
        RegisterWrite write;
        const QString refused = CheckRegisterWrite(chip, word.left(equals), value, word, write);
        if (!refused.isEmpty())
            return context.usage(refused);
        writes.push_back(write);
    }
    if (const int status = context.connect())
        return status;
    // In JSON the registers set so far are printed also when a later one fails, as the text
    // lines are.
    const bool json = wantsJson(context, args);
    std::vector<RegisterRow> done;
    const auto finish = [&](int status) {
        if (json)
            writeJson(context, done);
        return status;
    };
    for (const RegisterWrite &write : writes) {
        const WriteOutcome outcome = WriteAndReadBack(context.link(), write);
        if (outcome.result != 0) {
            return finish(context.exchangeFailed(
                outcome.wrote ? QStringLiteral("set: reading the register back")
                              : QStringLiteral("set: writing the register"),
                outcome.result));
        }
        if (outcome.readBack != write.value)
            context.console().message(ReadBackNote(chip, write, outcome.readBack));
        done.push_back({write.address, nameOf(chip, write.address), outcome.readBack});
        if (!json) {
            context.out() << nameOf(chip, write.address).toStdString() << '='
                          << HexByte(outcome.readBack).toStdString() << '\n';
        }
    }
    return finish(exit_code::kOk);
}

} // namespace cli
