// detect: the handshake, then the port and the chip.

#include "commands.h"
#include "exit_codes.h"
#include "output_formats.h"

namespace cli {

int RunDetect(CommandContext &context) {
    QString error;
    const CommandArguments args =
        SplitArguments(context.options().arguments, {}, {QStringLiteral("--json")}, error);
    if (!error.isEmpty())
        return context.usage(error);
    if (!args.words.isEmpty())
        return context.usage(QStringLiteral("detect takes no arguments"));
    if (const int status = context.connect())
        return status;
    const QString chip = QLatin1String(context.chip().name);
    if (context.options().json || args.has(QStringLiteral("--json")))
        WriteDetectJson(context.out(), context.port(), chip, context.chip().chipId);
    else
        WriteDetectText(context.out(), context.port(), chip);
    return exit_code::kOk;
}

} // namespace cli
