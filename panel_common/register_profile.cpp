#include "register_profile.h"

#include "hex_text.h"

#include "platform/private_profile.h"
#include "platform/profile_text.h"

#include <optional>

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
    // Every value set on the file's bytes, which are then written once.
    std::optional<QByteArray> bytes = platform::LoadProfileFile(path);
    if (bytes)
        bytes = platform::WithProfileValue(*bytes, kEvmSection, kTargetKey,
                                           QLatin1String(layout.chipName));
    for (int address = 0; address < layout.count && bytes; ++address) {
        bytes = platform::WithProfileValue(*bytes, kRegSection, QLatin1String(layout.keys[address]),
                                           QStringLiteral("0x") + HexByteText(image[address]));
    }
    return bytes && platform::SaveProfileFile(path, *bytes);
}

ProfileLoad LoadRegisterProfile(const QString &path, const ProfileLayout &layout, uint8_t *image) {
    // Read once; a file that cannot be read names no chip.
    const QByteArray bytes = platform::LoadProfileFile(path).value_or(QByteArray());
    const QString target =
        platform::ProfileValue(bytes, kEvmSection, kTargetKey, QString(), kValueBuffer);
    if (QString::compare(target, QLatin1String(layout.chipName), Qt::CaseInsensitive) != 0)
        return ProfileLoad::WrongChip;
    for (int address = 0; address < layout.count; ++address) {
        const QString text = platform::ProfileValue(
            bytes, kRegSection, QLatin1String(layout.keys[address]), QString(), kValueBuffer);
        image[address] = static_cast<uint8_t>(ParseHex(text) & 0xFF);
    }
    return ProfileLoad::Loaded;
}

} // namespace panel_common
