#include "register_transfer.h"

#include "link/register_range.h"
#include "platform/busy_flags.h"
#include "platform/message_service.h"

#include <QWidget>

namespace panel_common {
void RunRegisterOperation(QWidget *button, const std::function<void()> &transfer) {
    const BusyGuard guard(g_registerBusy, {&g_acquiring});
    if (!guard)
        return;
    button->setEnabled(false);
    transfer();
    button->setEnabled(true);
}

// The transfers themselves live with the link, so the command line moves registers the same way.
int ReadRegistersOrTell(QWidget *owner, uint8_t *current, int count) {
    return ReadRegisterRange(current, count, owner);
}

int WriteRegistersOrTell(QWidget *owner, const uint8_t *pending, uint8_t *current, int count) {
    return WriteRegisterRange(pending, current, count, owner);
}

void TellSameChannel(QWidget *owner) {
    platform::ShowMessage(owner, QStringLiteral("AIN+ and AIN- cannot select the same channel !"),
                          QStringLiteral("Error"), platform::MessageIcon::Error);
}

int SaveProfileOrTell(QWidget *owner, const QString &path, const ProfileLayout &layout,
                      const uint8_t *current) {
    const platform::FileError error = SaveRegisterProfile(path, layout, current);
    if (!error.failed())
        return 0;
    platform::ShowMessage(owner, QStringLiteral("Save Profile Failed !"), QStringLiteral("Error !"),
                          platform::MessageIcon::None, error.text().left(1024));
    return -1;
}

bool LoadProfileOrTell(QWidget *owner, const QString &path, const ProfileLayout &layout,
                       uint8_t *pending) {
    platform::FileError error;
    switch (LoadRegisterProfile(path, layout, pending, &error)) {
    case ProfileLoad::Loaded:
        return true;
    case ProfileLoad::Unreadable:
        platform::ShowFileError(owner, error);
        return false;
    case ProfileLoad::WrongChip:
        break;
    }
    platform::ShowMessage(owner, InvalidProfileMessage(layout), QStringLiteral("Error !"));
    return false;
}

} // namespace panel_common
