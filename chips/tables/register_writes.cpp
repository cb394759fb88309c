#include "register_writes.h"

#include "number_text.h"

#include "link/register_range.h"

namespace cli {

QString CheckRegisterWrite(const ChipSupport &chip, const QString &name, int64_t value,
                           const QString &typed, RegisterWrite &write) {
    const int address = RegisterAddress(chip, name);
    if (address < 0)
        return QStringLiteral("%1 has no register %2").arg(QLatin1String(chip.name), name);
    if (value < 0 || value > 255)
        return NumberMessage(QStringLiteral("%1: the value").arg(typed), 0, 255);
    write.address = address;
    write.value = static_cast<uint8_t>(value);
    return QString();
}

WriteOutcome WriteAndReadBack(BoardLink &link, const RegisterWrite &write) {
    WriteOutcome outcome;
    const auto at = static_cast<uint8_t>(write.address);
    outcome.result = WriteRegisterAt(link, at, write.value, nullptr);
    if (outcome.result != 0)
        return outcome;
    outcome.wrote = true;
    outcome.result = ReadRegisterAt(link, at, outcome.readBack, nullptr);
    return outcome;
}

QString ReadBackNote(const ChipSupport &chip, const RegisterWrite &write, uint8_t readBack) {
    return QStringLiteral("%1 reads back %2 after writing %3")
        .arg(QLatin1String(chip.registerNames[static_cast<size_t>(write.address)]),
             HexByte(readBack), HexByte(write.value));
}

} // namespace cli
