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

QString registerValue(const QByteArray &bytes, const char *key, int bufferSize) {
    return platform::ProfileValue(bytes, kRegSection, QLatin1String(key), QString(), bufferSize);
}

// Longer than the window reads (15 characters), the value would load as something else.
bool isHexByte(const QString &text) {
    QString digits = text;
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        digits.remove(0, 2);
    if (digits.isEmpty() || text.size() >= kValueBuffer)
        return false;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            return false;
    }
    return ParseHex(text) <= 0xFF;
}
} // namespace

QString InvalidProfileMessage(const ProfileLayout &layout) {
    return QStringLiteral("The profile is invalid for \"%1\"").arg(QLatin1String(layout.chipName));
}

platform::FileError SaveRegisterProfile(const QString &path, const ProfileLayout &layout,
                                        const uint8_t *image) {
    // Every value set on the file's bytes, which are then written once.
    const platform::FileRead before = platform::LoadProfileFile(path);
    if (before.error.failed())
        return before.error;
    std::optional<QByteArray> bytes = platform::WithProfileValue(
        before.bytes, kEvmSection, kTargetKey, QLatin1String(layout.chipName));
    for (int address = 0; address < layout.count && bytes; ++address) {
        bytes = platform::WithProfileValue(*bytes, kRegSection, QLatin1String(layout.keys[address]),
                                           QStringLiteral("0x") + HexByteText(image[address]));
    }
    // Only a line break in a name or value is refused, and the layouts hold none.
    if (!bytes)
        return platform::FileError{path, QStringLiteral("A key or value holds a line break")};
    return platform::SaveProfileFile(path, *bytes);
}

ProfileLoad RegistersFromProfile(const QByteArray &bytes, const ProfileLayout &layout,
                                 uint8_t *image) {
    const QString target =
        platform::ProfileValue(bytes, kEvmSection, kTargetKey, QString(), kValueBuffer);
    if (QString::compare(target, QLatin1String(layout.chipName), Qt::CaseInsensitive) != 0)
        return ProfileLoad::WrongChip;
    for (int address = 0; address < layout.count; ++address) {
        const QString text = registerValue(bytes, layout.keys[address], kValueBuffer);
        image[address] = static_cast<uint8_t>(ParseHex(text) & 0xFF);
    }
    return ProfileLoad::Loaded;
}

ProfileLoad LoadRegisterProfile(const QString &path, const ProfileLayout &layout, uint8_t *image,
                                platform::FileError *error) {
    // Read once. A missing file names no chip.
    const platform::FileRead file = platform::LoadProfileFile(path);
    if (file.error.failed()) {
        if (error)
            *error = file.error;
        return ProfileLoad::Unreadable;
    }
    return RegistersFromProfile(file.bytes, layout, image);
}

QStringList UnclearRegisterKeys(const QByteArray &bytes, const ProfileLayout &layout) {
    QStringList keys;
    for (int address = 0; address < layout.count; ++address) {
        if (!isHexByte(registerValue(bytes, layout.keys[address], 0)))
            keys << QLatin1String(layout.keys[address]);
    }
    return keys;
}

} // namespace panel_common
