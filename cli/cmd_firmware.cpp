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
    const QByteArray &image = read.bytes;
    const int informedBefore = context.console().informationCount();
    const int result = firmware::UpdateFirmware(nullptr, image);
    if (result != 0) {
        context.console().message(firmware::UpdateMessageText(result));
        context.console().message(QStringLiteral("firmware-update failed: result code 0x%1")
                                      .arg(static_cast<uint32_t>(result), 8, 16, QLatin1Char('0')));
        return result == firmware::result::kNoUpdateDevice ? exit_code::kNoBoard
                                                           : exit_code::kExchange;
    }
    // A failure the procedure has told already also ends with 0; only its success message says
    // the board has the new firmware.
    if (context.console().informationCount() == informedBefore) {
        context.console().message(QStringLiteral("firmware-update failed"));
        return image.isEmpty() ? exit_code::kFile : exit_code::kExchange;
    }
    return exit_code::kOk;
}

} // namespace cli
