// profile save / profile load: the panels' profile files, with the chip on the other side.

#include "commands.h"
#include "exit_codes.h"

#include "link/register_range.h"

#include <QFileInfo>

#include <vector>

namespace cli {

namespace {
int save(CommandContext &context, const QString &path) {
    const ChipSupport &chip = context.chip();
    if (const int status = context.connect())
        return status;
    // The chip's state is saved, as the window saves its current image.
    std::vector<uint8_t> image(static_cast<size_t>(chip.registerCount()), 0);
    const int result = ReadRegisterRange(image.data(), chip.registerCount(), nullptr);
    if (result != 0)
        return context.exchangeFailed(QStringLiteral("profile save: reading the registers"),
                                      result);
    if (!panel_common::SaveRegisterProfile(path, *chip.profile, image.data())) {
        context.console().message(QStringLiteral("Save Profile Failed !"));
        return exit_code::kFile;
    }
    return exit_code::kOk;
}

int load(CommandContext &context, const QString &path) {
    const ChipSupport &chip = context.chip();
    // The window offers only files that exist; a missing one is a file error here.
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        context.console().message(QStringLiteral("%1: no such readable file").arg(path));
        return exit_code::kFile;
    }
    std::vector<uint8_t> image(static_cast<size_t>(chip.registerCount()), 0);
    if (panel_common::LoadRegisterProfile(path, *chip.profile, image.data()) !=
        panel_common::ProfileLoad::Loaded) {
        context.console().message(panel_common::InvalidProfileMessage(*chip.profile));
        return exit_code::kFile;
    }
    if (const int status = context.connect())
        return status;
    // There is no pending image to hold the values until a Write: they go to the chip now,
    // in address order, as the "All Regs" Write sends them.
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
    const CommandArguments args = SplitArguments(context.options().arguments, {}, {}, error);
    if (!error.isEmpty())
        return context.usage(error);
    if (args.words.size() != 2 || (args.words.front() != QLatin1String("save") &&
                                   args.words.front() != QLatin1String("load")))
        return context.usage(QStringLiteral("profile takes save FILE or load FILE"));
    if (!context.chip().profile) {
        return context.unavailable(
            QStringLiteral("profile: the profile of %1 is not available in this build")
                .arg(QLatin1String(context.chip().name)));
    }
    const QString &path = args.words.at(1);
    return args.words.front() == QLatin1String("save") ? save(context, path) : load(context, path);
}

} // namespace cli
