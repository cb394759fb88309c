// profile save / profile load: the panels' profile files, with the chip on the other side.

#include "chips/tables/profile_transfer.h"
#include "commands.h"
#include "exit_codes.h"

#include "link/register_range.h"

#include <vector>

namespace cli {

namespace {
int fileError(CommandContext &context, const platform::FileError &error) {
    context.console().message(error.text());
    return exit_code::kFile;
}

int save(CommandContext &context, const QString &path) {
    const ChipSupport &chip = context.chip();
    // The file must take the save before the board is asked.
    if (const platform::FileError error = CheckProfileSave(path); error.failed())
        return fileError(context, error);
    if (const int status = context.connect())
        return status;
    // The chip's state is saved, as the window saves its current image.
    std::vector<uint8_t> image(static_cast<size_t>(chip.registerCount()), 0);
    const int result =
        ReadRegisterRange(context.link(), image.data(), chip.registerCount(), nullptr);
    if (result != 0)
        return context.exchangeFailed(QStringLiteral("profile save: reading the registers"),
                                      result);
    if (const platform::FileError error = SaveProfileOf(chip, path, image); error.failed()) {
        context.console().message(error.text());
        context.console().message(QStringLiteral("Save Profile Failed !"));
        return exit_code::kFile;
    }
    return exit_code::kOk;
}

int load(CommandContext &context, const QString &path, bool lenient) {
    ProfileToLoad profile = ReadProfileToLoad(context.chip(), path, lenient);
    if (!profile.message.isEmpty()) {
        context.console().message(profile.message);
        return exit_code::kFile;
    }
    if (profile.unclearKeys)
        profile.error.reason += QStringLiteral(" (--lenient loads them as the window does)");
    if (profile.error.failed())
        return fileError(context, profile.error);
    if (const int status = context.connect())
        return status;
    // There is no pending image to hold the values until a Write: they go to the chip now,
    // in address order, as the "All Regs" Write sends them.
    std::vector<uint8_t> written(profile.image.size(), 0);
    const int result = WriteRegisterRange(context.link(), profile.image.data(), written.data(),
                                          static_cast<int>(profile.image.size()), nullptr);
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
