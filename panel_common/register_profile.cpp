#include "register_profile.h"

#include "hex_text.h"

#include "platform/private_profile.h"

namespace panel_common {
namespace {
const QString kEvmSection = QStringLiteral("EVM");
const QString kRegSection = QStringLiteral("REG");
const QString kTargetKey = QStringLiteral("Target");
// Values are read into a buffer of 16 characters, terminator included.
constexpr int kValueBuffer = 16;
} // namespace

QString InvalidProfileMessage(const ProfileLayout &layout) {
    return QStringLiteral("The profile is invalid for \"%1\"").arg(QLatin1String(layout.chipName));
}

bool SaveRegisterProfile(const QString &path, const ProfileLayout &layout, const uint8_t *image) {
    bool ok =
        platform::WriteProfileString(kEvmSection, kTargetKey, QLatin1String(layout.chipName), path);
    for (int address = 0; address < layout.count && ok; ++address) {
        ok = platform::WriteProfileString(kRegSection, QLatin1String(layout.keys[address]),
                                          QStringLiteral("0x") + HexByteText(image[address]), path);
    }
    return ok;
}

ProfileLoad LoadRegisterProfile(const QString &path, const ProfileLayout &layout, uint8_t *image) {
    const QString target =
        platform::ReadProfileString(kEvmSection, kTargetKey, QString(), path, kValueBuffer);
    if (QString::compare(target, QLatin1String(layout.chipName), Qt::CaseInsensitive) != 0)
        return ProfileLoad::WrongChip;
    for (int address = 0; address < layout.count; ++address) {
        const QString text = platform::ReadProfileString(
            kRegSection, QLatin1String(layout.keys[address]), QString(), path, kValueBuffer);
        image[address] = static_cast<uint8_t>(ParseHex(text) & 0xFF);
    }
    return ProfileLoad::Loaded;
}

} // namespace panel_common
