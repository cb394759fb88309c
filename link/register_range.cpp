#include "register_range.h"

#include "board_link.h"
#include "protocol.h"
#include "result_codes.h"

#include <QString>

namespace {
void tellAddress(BoardLink &link, QObject *owner, const char *format, int address) {
    const QString hex = QStringLiteral("%1").arg(address, 2, 16, QLatin1Char('0')).toUpper();
    link.tell({QString::fromLatin1(format).arg(hex), QStringLiteral("Error occured !"),
               platform::MessageIcon::None, owner});
}
} // namespace

int ReadRegisterAt(BoardLink &link, uint8_t address, uint8_t &value, QObject *owner) {
    const int status = ReadRegister(link, address, value);
    if (status != result::kOk)
        tellAddress(link, owner, "Read Register Address %1 Failed !", address);
    return status;
}

int WriteRegisterAt(BoardLink &link, uint8_t address, uint8_t value, QObject *owner) {
    const int status = WriteRegister(link, address, value);
    if (status != result::kOk)
        tellAddress(link, owner, "Write Register Address %1 Failed !", address);
    return status;
}

int ReadRegisterRange(BoardLink &link, uint8_t *image, int count, QObject *owner) {
    for (int address = 0; address < count; ++address) {
        const int status =
            ReadRegisterAt(link, static_cast<uint8_t>(address), image[address], owner);
        if (status != result::kOk)
            return status;
    }
    return result::kOk;
}

int WriteRegisterRange(BoardLink &link, const uint8_t *pending, uint8_t *current, int count,
                       QObject *owner, int *failedAddress) {
    for (int address = 0; address < count; ++address) {
        const int status =
            WriteRegisterAt(link, static_cast<uint8_t>(address), pending[address], owner);
        if (status != result::kOk) {
            if (failedAddress)
                *failedAddress = address;
            return status;
        }
        current[address] = pending[address];
    }
    return result::kOk;
}
