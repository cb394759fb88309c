#include "profile_8ch.h"

#include "platform/private_profile.h"

namespace vxc5480 {

const char *const kChipName = "VXC5480";

// "DRAT", not "DRATE": files of the Windows tooling use this key.
const char *const kProfileKeys[kRegisterCount] = {"STATUS", "MUX",  "ADCON", "DRAT", "IO",  "OFC0",
                                                  "OFC1",   "OFC2", "FSC0",  "FSC1", "FSC2"};

namespace {
const QString kEvmSection = QStringLiteral("EVM");
const QString kRegSection = QStringLiteral("REG");
const QString kTargetKey = QStringLiteral("Target");
// Values are read into a buffer of 16 characters, terminator included.
constexpr int kValueBuffer = 16;
} // namespace

QString InvalidProfileMessage() {
    return QStringLiteral("The profile is invalid for \"%1\"").arg(QLatin1String(kChipName));
}

bool SaveRegisterProfile(const QString &path, const RegisterImage &image) {
    bool ok = platform::WriteProfileString(kEvmSection, kTargetKey, QLatin1String(kChipName), path);
    for (int address = 0; address < kRegisterCount && ok; ++address) {
        ok = platform::WriteProfileString(kRegSection, QLatin1String(kProfileKeys[address]),
                                          QStringLiteral("0x") + HexByteText(image[address]), path);
    }
    return ok;
}

ProfileLoad LoadRegisterProfile(const QString &path, RegisterImage &image) {
    const QString target =
        platform::ReadProfileString(kEvmSection, kTargetKey, QString(), path, kValueBuffer);
    if (QString::compare(target, QLatin1String(kChipName), Qt::CaseInsensitive) != 0)
        return ProfileLoad::WrongChip;
    for (int address = 0; address < kRegisterCount; ++address) {
        const QString text = platform::ReadProfileString(
            kRegSection, QLatin1String(kProfileKeys[address]), QString(), path, kValueBuffer);
        image[address] = static_cast<uint8_t>(ParseHex(text) & 0xFF);
    }
    return ProfileLoad::Loaded;
}

} // namespace vxc5480
