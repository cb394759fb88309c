#include "chip_table.h"

#include "number_text.h"

namespace cli {

const std::vector<ChipSupport> &ChipTable() {
    static const std::vector<ChipSupport> table = {Vxc5480Support(), Vxc5420Support()};
    return table;
}

const ChipSupport *FindChipSupport(const QString &name) {
    for (const ChipSupport &chip : ChipTable()) {
        if (name.compare(QLatin1String(chip.name), Qt::CaseInsensitive) == 0)
            return &chip;
    }
    return nullptr;
}

int RegisterAddress(const ChipSupport &chip, const QString &text) {
    for (int address = 0; address < chip.registerCount(); ++address) {
        if (text.compare(QLatin1String(chip.registerNames[address]), Qt::CaseInsensitive) == 0)
            return address;
        if (address < static_cast<int>(chip.registerAliases.size()) &&
            text.compare(QLatin1String(chip.registerAliases[address]), Qt::CaseInsensitive) == 0)
            return address;
    }
    int64_t number = 0;
    if (ParseNumber(text, number) && number >= 0 && number < chip.registerCount())
        return static_cast<int>(number);
    return -1;
}

const CommandEntry *FindCommand(const ChipSupport &chip, const QString &name) {
    for (const CommandEntry &entry : chip.commands) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

QString ReferenceRefusal(const ChipSupport &chip, const QString &what, double volts) {
    const conversion::ReferenceRange &range = chip.referenceRange;
    if (range.contains(volts))
        return QString();
    return QStringLiteral("%1 takes the reference in volts, from %2 to %3 on the %4")
        .arg(what, QString::number(range.minVolts), QString::number(range.maxVolts),
             QLatin1String(chip.name));
}

conversion::ConversionFacts FactsOf(const ChipSupport &chip, std::span<const uint8_t> image,
                                    int mode, std::optional<double> referenceVolts) {
    if (!chip.facts)
        return conversion::WithReference({}, referenceVolts);
    return chip.facts(image, mode, referenceVolts);
}

} // namespace cli
