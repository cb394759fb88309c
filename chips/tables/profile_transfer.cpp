#include "profile_transfer.h"

#include "platform/file_writer.h"
#include "platform/private_profile.h"

namespace cli {

ProfileToLoad ReadProfileToLoad(const ChipSupport &chip, const QString &path, bool lenient) {
    ProfileToLoad load;
    const platform::FileRead file = platform::LoadProfileFile(path);
    // The window offers only files that exist; a missing one is a file error here.
    if (file.missing) {
        load.error = {path, QStringLiteral("No such file or directory")};
        return load;
    }
    if (file.error.failed()) {
        load.error = file.error;
        return load;
    }
    load.image.assign(static_cast<size_t>(chip.registerCount()), 0);
    if (panel_common::RegistersFromProfile(file.bytes, *chip.profile, load.image.data()) !=
        panel_common::ProfileLoad::Loaded) {
        load.message = panel_common::InvalidProfileMessage(*chip.profile);
        return load;
    }
    const QStringList unclear = panel_common::UnclearRegisterKeys(file.bytes, *chip.profile);
    if (!lenient && !unclear.isEmpty()) {
        load.error = {path, UnclearKeysReason(unclear)};
        load.unclearKeys = true;
        return load;
    }
    if (chip.allRegsWrite)
        chip.allRegsWrite(load.image);
    return load;
}

QString UnclearKeysReason(const QStringList &keys) {
    return QStringLiteral("Missing or unreadable register values: %1")
        .arg(keys.join(QStringLiteral(", ")));
}

platform::FileError CheckProfileSave(const QString &path) {
    platform::FileError error = platform::CheckWritableTarget(path);
    if (!error.failed())
        error = platform::LoadProfileFile(path).error;
    return error;
}

platform::FileError SaveProfileOf(const ChipSupport &chip, const QString &path,
                                  const std::vector<uint8_t> &image) {
    return panel_common::SaveRegisterProfile(path, *chip.profile, image.data());
}

} // namespace cli
