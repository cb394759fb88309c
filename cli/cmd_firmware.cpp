// firmware-update: the window's update procedure, when this build has the firmware layer.

#include "commands.h"
#include "exit_codes.h"

namespace cli {

int RunFirmwareUpdate(CommandContext &context) {
    QString error;
    const CommandArguments args =
        SplitArguments(context.options().arguments, {QStringLiteral("--image")}, {}, error);
    if (!error.isEmpty())
        return context.usage(error);
    if (!args.words.isEmpty())
        return context.usage(QStringLiteral("unexpected argument %1").arg(args.words.front()));
    return context.unavailable(
        QStringLiteral("firmware-update: this build has no firmware update"));
}

} // namespace cli
