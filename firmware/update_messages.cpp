#include "update_messages.h"

#include <array>

namespace firmware {
namespace {
constexpr std::array<const char *, kUpdateMessageCount> kMessages{
    "SUCCESS !",
    "DLL internal error !",
    "Part No is not supported !",
    "KVX is bad format !",
    "Program code failed !",
    "Program hardware options failed !",
    "Program off-line info failed !",
    "Corvel is not found !",
    "Checksum is not match !",
    "Device voltage is out of range !",
    "The device is not responding !",
    "Target is not \"%s\" !", // shown as it stands, %s included
    "Off-Line mode is not supported !",
    "Close Corvel fail !",
    "Reset to ISP fail !",
    "Checksum error !",
    "Reset to AP fail !",
    "Update firmware fail !",
    "Open DFU HID fail !",
    "Update firmware is canceled !",
    "Older versions of Corvel hardware is not supported !",
    "Device is unknown !",
    "Check ID fail !",
};
constexpr int kUpdateFailEntry = 17;
} // namespace

QString UpdateMessage(int entry) {
    if (entry < 0 || entry >= kUpdateMessageCount)
        return QString();
    return QString::fromLatin1(kMessages[static_cast<std::size_t>(entry)]);
}

QString UpdateMessageText(int result) {
    const int entry = result & 0xFF;
    if (entry < kUpdateMessageCount)
        return UpdateMessage(entry);
    const QString hex =
        QStringLiteral("%1").arg(static_cast<uint32_t>(result), 8, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("%1 (0x%2)").arg(UpdateMessage(kUpdateFailEntry), hex);
}

} // namespace firmware
