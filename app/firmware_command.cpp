#include "firmware_command.h"

#include "firmware/firmware_image.h"
#include "firmware/update_firmware.h"
#include "firmware/update_messages.h"
#include "platform/file_dialogs.h"
#include "platform/message_service.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

namespace {
// The image carried or given for this run, else one the user picks; nullopt when cancelled.
std::optional<QByteArray> imageForUpdate(QWidget *owner) {
    firmware::ImageSource source = firmware::ImageForUpdate();
    if (!source.known()) {
        platform::FileDialogRequest request;
        request.owner = owner;
        request.filters = {QStringLiteral("Firmware image (*.bin)")};
        source.path = platform::ChooseFile(request);
        if (source.path.isEmpty())
            return std::nullopt;
    }
    const platform::FileRead image = firmware::ImageBytes(source);
    // Why the file cannot be used; the update then refuses the empty image with its own words.
    if (image.error.failed())
        platform::ShowFileError(owner, image.error);
    return image.bytes;
}
} // namespace

void RunUpdateFirmwareCommand(QWidget *owner) {
    const std::optional<QByteArray> image = imageForUpdate(owner);
    if (!image)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const firmware::UpdateOutcome outcome = firmware::UpdateFirmware(owner, *image);
    QApplication::restoreOverrideCursor();
    if (outcome.callerTells())
        platform::ShowMessage(owner, firmware::UpdateMessageText(outcome.code),
                              QStringLiteral("Error !"), platform::MessageIcon::Error);
}
