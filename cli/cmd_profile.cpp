// profile save / profile load: the panels' profile files, with the chip on the other side.

#include "commands.h"
#include "exit_codes.h"

#include "link/register_range.h"
#include "platform/file_writer.h"
#include "platform/private_profile.h"

#include <vector>

namespace cli {

namespace {
int fileError(CommandContext &context, const platform::FileError &error) {
    context.console().message(error.text());
    return exit_code::kFile;
}

int save(CommandContext &context, const QString &path) {
    const ChipSupport &chip = context.chip();
    // The file must take the save before the board is asked: the folder, the target, and the
    // old profile whose other lines the save keeps.
    platform::FileError error = platform::CheckWritableTarget(path);
    if (!error.failed())
        error = platform::LoadProfileFile(path).error;
    if (error.failed())
        return fileError(context, error);
    if (const int status = context.connect())
        return status;
    // The chip's state is saved, as the window saves its current image.
    std::vector<uint8_t> image(static_cast<size_t>(chip.registerCount()), 0);
    const int result = ReadRegisterRange(image.data(), chip.registerCount(), nullptr);
    if (result != 0)
        return context.exchangeFailed(QStringLiteral("profile save: reading the registers"),
                                      result);
    error = panel_common::SaveRegisterProfile(path, *chip.profile, image.data());
    if (error.failed()) {
        context.console().message(error.text());
        context.console().message(QStringLiteral("Save Profile Failed !"));
        return exit_code::kFile;
    }
    return exit_code::kOk;
}

int load(CommandContext &context, const QString &path, bool lenient) {
    const ChipSupport &chip = context.chip();
    const platform::FileRead file = platform::LoadProfileFile(path);
    // The window offers only files that exist; a missing one is a file error here.
    if (file.missing)
        return fileError(context, {path, QStringLiteral("No such file or directory")});
    if (file.error.failed())
        return fileError(context, file.error);
    std::vector<uint8_t> image(static_cast<size_t>(chip.registerCount()), 0);
    if (panel_common::RegistersFromProfile(file.bytes, *chip.profile, image.data()) !=
        panel_common::ProfileLoad::Loaded) {
        context.console().message(panel_common::InvalidProfileMessage(*chip.profile));
        return exit_code::kFile;
    }
    // The values go straight to the chip, with no pending image to look at first: a key that
    // is missing or unreadable would quietly write 0 or a guess, calibration registers included.
    const QStringList unclear = panel_common::UnclearRegisterKeys(file.bytes, *chip.profile);
    if (!lenient && !unclear.isEmpty()) {
        const QString reason = QStringLiteral("Missing or unreadable register values: %1 "
                                              "(--lenient loads them as the window does)")
                                   .arg(unclear.join(QStringLiteral(", ")));
        return fileError(context, {path, reason});
    }
    if (const int status = context.connect())
        return status;
    // There is no pending image to hold the values until a Write: they go to the chip now,
    // in address order, as the "All Regs" Write sends them.
    if (chip.allRegsWrite)
        chip.allRegsWrite(image);
    std::vector<uint8_t> written(image.size(), 0);
    const int result =
        WriteRegisterRange(image.data(), written.data(), static_cast<int>(image.size()), nullptr);
    if (result != 0)
        return context.exchangeFailed(QStringLiteral("profile load: writing the registers"),
                                      result);
    return exit_code::kOk;
}
} // namespace

int RunProfile(CommandContext &context) {
    QString error;
    const CommandArguments args =
        SplitArguments(context.options().arguments, {}, {QStringLiteral("--lenient")}, error);
    if (!error.isEmpty())
        return context.usage(error);
    const bool saving = !args.words.isEmpty() && args.words.front() == QLatin1String("save");
    const bool loading = !args.words.isEmpty() && args.words.front() == QLatin1String("load");
    if (args.words.size() != 2 || (!saving && !loading))
        return context.usage(QStringLiteral("profile takes save FILE or load [--lenient] FILE"));
    const bool lenient = args.has(QStringLiteral("--lenient"));
    if (lenient && !loading)
        return context.usage(QStringLiteral("--lenient goes with profile load"));
    if (!context.chip().profile) {
        return context.unavailable(
            QStringLiteral("profile: the profile of %1 is not available in this build")
                .arg(QLatin1String(context.chip().name)));
    }
    const QString &path = args.words.at(1);
    return saving ? save(context, path) : load(context, path, lenient);
}

} // namespace cli
