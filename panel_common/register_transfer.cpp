#include "register_transfer.h"

#include "panel_board.h"

#include "platform/message_service.h"

#include <QWidget>

namespace panel_common {
void RunRegisterOperation(PanelBoard &board, QWidget *button,
                          const std::function<void()> &transfer) {
    BusyFlags &busy = board.busy();
    const BusyGuard guard(busy.registerBusy, {&busy.acquiring});
    if (!guard)
        return;
    button->setEnabled(false);
    transfer();
    button->setEnabled(true);
}

// The transfers themselves live with the link, so the command line moves registers the same way.
int ReadRegistersOrTell(PanelBoard &board, QWidget *owner, uint8_t *current, int count) {
    return board.readRange(owner, current, count);
}

int WriteRegistersOrTell(PanelBoard &board, QWidget *owner, const uint8_t *pending,
                         uint8_t *current, int count) {
    return board.writeRange(owner, pending, current, count);
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
