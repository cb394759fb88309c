// firmware-update: the window's update procedure over USB HID, with the image from --image,
// the run (--simulate) or the build.

#include "commands.h"
#include "exit_codes.h"

#include "firmware/firmware_image.h"
#include "firmware/update_codes.h"
#include "firmware/update_firmware.h"
#include "firmware/update_messages.h"

namespace cli {

int RunFirmwareUpdate(CommandContext &context) {
    QString error;
    const CommandArguments args =
        SplitArguments(context.options().arguments, {QStringLiteral("--image")}, {}, error);
    if (!error.isEmpty())
        return context.usage(error);
    if (!args.words.isEmpty())
        return context.usage(QStringLiteral("unexpected argument %1").arg(args.words.front()));
    const QString imagePath = args.value(QStringLiteral("--image"));
    context.installSimulatedUpdateDevice(!imagePath.isEmpty());

    firmware::ImageSource source = firmware::ImageForUpdate();
    if (!imagePath.isEmpty())
        source = {imagePath, QByteArray()};
    if (!source.known()) {
        // The window asks for a file here; a script names it.
        return context.usage(
            QStringLiteral("this build carries no firmware image; give --image FILE"));
    }
    // A file that cannot be used is refused before the device is opened.
    const platform::FileRead read = firmware::ImageBytes(source);
    if (read.error.failed()) {
        context.console().message(read.error.text());
        return exit_code::kFile;
    }
    const firmware::UpdateOutcome outcome = firmware::UpdateFirmware(nullptr, read.bytes);
    if (outcome.succeeded)
        return exit_code::kOk;
    // The window's text for a failure the procedure left to its caller, then the code for
    // scripts and logs.
    if (outcome.callerTells())
        context.console().message(firmware::UpdateMessageText(outcome.code));
    context.console().message(
        QStringLiteral("firmware-update failed: result code 0x%1")
            .arg(static_cast<uint32_t>(outcome.code), 8, 16, QLatin1Char('0')));
    return outcome.code == firmware::result::kNoUpdateDevice ? exit_code::kNoBoard
                                                             : exit_code::kExchange;
}

} // namespace cli
