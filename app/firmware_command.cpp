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
// The image carried or given for this run, else one the user picks; nullopt when cancelled or
// when the file cannot be used (the user has been told).
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
    // A file that cannot be used is the update's failure, told in one box with the file's
    // path and the cause under it; nothing on the board is touched.
    if (image.error.failed()) {
        platform::ShowMessage(owner, QStringLiteral("Firmware update failed !"),
                              QStringLiteral("Error"), platform::MessageIcon::Error,
                              image.error.text().left(1024));
        return std::nullopt;
    }
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
