#include "register_range.h"

#include "protocol.h"
#include "result_codes.h"

#include "platform/message_service.h"

#include <QString>

namespace {
void tellAddress(QObject *owner, const char *format, int address) {
    const QString hex = QStringLiteral("%1").arg(address, 2, 16, QLatin1Char('0')).toUpper();
    platform::ShowMessage(owner, QString::fromLatin1(format).arg(hex),
                          QStringLiteral("Error occured !"));
}
} // namespace

int ReadRegisterAt(uint8_t address, uint8_t &value, QObject *owner) {
    const int status = ReadRegister(address, value);
    if (status != result::kOk)
        tellAddress(owner, "Read Register Address %1 Failed !", address);
    return status;
}

int WriteRegisterAt(uint8_t address, uint8_t value, QObject *owner) {
    const int status = WriteRegister(address, value);
    if (status != result::kOk)
        tellAddress(owner, "Write Register Address %1 Failed !", address);
    return status;
}

int ReadRegisterRange(uint8_t *image, int count, QObject *owner) {
    for (int address = 0; address < count; ++address) {
        const int status = ReadRegisterAt(static_cast<uint8_t>(address), image[address], owner);
        if (status != result::kOk)
            return status;
    }
    return result::kOk;
}

int WriteRegisterRange(const uint8_t *pending, uint8_t *current, int count, QObject *owner,
                       int *failedAddress) {
    for (int address = 0; address < count; ++address) {
        const int status = WriteRegisterAt(static_cast<uint8_t>(address), pending[address], owner);
        if (status != result::kOk) {
            if (failedAddress)
                *failedAddress = address;
            return status;
        }
        current[address] = pending[address];
    }
    return result::kOk;
}
