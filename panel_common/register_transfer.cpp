#include "register_transfer.h"

#include "hex_text.h"

#include "link/protocol.h"
#include "platform/busy_flags.h"
#include "platform/message_service.h"

#include <QWidget>

namespace panel_common {
namespace {

QString addressMessage(const char *format, int address) {
    return QString::fromLatin1(format).arg(HexByteText(static_cast<uint8_t>(address)));
}

void tellAddress(QWidget *owner, const char *format, int address) {
    platform::ShowMessage(owner, addressMessage(format, address),
                          QStringLiteral("Error occured !"));
}

} // namespace

void RunRegisterOperation(QWidget *button, const std::function<void()> &transfer) {
    if (g_acquiring || g_registerBusy)
        return;
    g_registerBusy = 1;
    button->setEnabled(false);
    transfer();
    g_registerBusy = 0;
    button->setEnabled(true);
}

int ReadRegistersOrTell(QWidget *owner, uint8_t *current, int count) {
    for (int address = 0; address < count; ++address) {
        const int status = ReadRegister(static_cast<uint8_t>(address), current[address]);
        if (status != 0) {
            tellAddress(owner, "Read Register Address %1 Failed !", address);
            return status;
        }
    }
    return 0;
}

int WriteRegistersOrTell(QWidget *owner, const uint8_t *pending, uint8_t *current, int count) {
    for (int address = 0; address < count; ++address) {
        const int status = WriteRegister(static_cast<uint8_t>(address), pending[address]);
        if (status != 0) {
            tellAddress(owner, "Write Register Address %1 Failed !", address);
            return status;
        }
        current[address] = pending[address];
    }
    return 0;
}

void TellSameChannel(QWidget *owner) {
    platform::ShowMessage(owner, QStringLiteral("AIN+ and AIN- cannot select the same channel !"),
                          QStringLiteral("Error"), platform::MessageIcon::Error);
}

int SaveProfileOrTell(QWidget *owner, const QString &path, const ProfileLayout &layout,
                      const uint8_t *current) {
    if (SaveRegisterProfile(path, layout, current))
        return 0;
    platform::ShowMessage(owner, QStringLiteral("Save Profile Failed !"),
                          QStringLiteral("Error !"));
    return -1;
}

bool LoadProfileOrTell(QWidget *owner, const QString &path, const ProfileLayout &layout,
                       uint8_t *pending) {
    if (LoadRegisterProfile(path, layout, pending) == ProfileLoad::Loaded)
        return true;
    platform::ShowMessage(owner, InvalidProfileMessage(layout), QStringLiteral("Error !"));
    return false;
}

} // namespace panel_common
