#include "conversion_options.h"

#include "chips/tables/number_text.h"

#include "link/register_range.h"
#include "link/result_codes.h"

#include <QLocale>

#include <cmath>

namespace cli {

QStringList ConversionOptionNames() {
    return {QStringLiteral("--reference"), QStringLiteral("--mode")};
}

QString ReadConversionOptions(const CommandArguments &args, const ChipSupport &chip,
                              ConversionRequest &request) {
    const QString reference = QStringLiteral("--reference");
    if (args.has(reference)) {
        bool ok = false;
        const double volts = QLocale::c().toDouble(args.value(reference).trimmed(), &ok);
        if (const QString refused = ReferenceRefusal(chip, reference, ok ? volts : std::nan(""));
            !refused.isEmpty())
            return refused;
        request.referenceVolts = volts;
    }
    const QString mode = QStringLiteral("--mode");
    if (args.has(mode)) {
        if (chip.lastMode == 0)
            return QStringLiteral("%1: the %2 has no modes").arg(mode, QLatin1String(chip.name));
        int64_t number = 0;
        if (!ParseNumberIn(args.value(mode), chip.firstMode, chip.lastMode, number))
            return NumberMessage(mode, chip.firstMode, chip.lastMode);
        request.mode = static_cast<int>(number);
    }
    return QString();
}

std::vector<uint8_t> ReadChipImage(BoardLink &link, const ChipSupport &chip) {
    std::vector<uint8_t> image(static_cast<size_t>(chip.registerCount()), 0);
    if (!image.empty() &&
        ReadRegisterRange(link, image.data(), chip.registerCount(), nullptr) != result::kOk)
        image.clear();
    return image;
}

conversion::ConversionFacts FactsOf(const ChipSupport &chip, const ConversionRequest &request,
                                    const std::vector<uint8_t> &image) {
    return FactsOf(chip, image, request.mode, request.referenceVolts);
}

QString UnclaimedVoltsNote(const ChipSupport &chip, const conversion::ConversionFacts &facts) {
    if (facts.modeKnown || !(facts.voltsPerCode > 0))
        return QString();
    return QStringLiteral("%1: %2; no volts without --mode")
        .arg(QLatin1String(chip.name), QString::fromStdString(facts.mode));
}

} // namespace cli
