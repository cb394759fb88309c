#include "capture_facts.h"

#include "capture_file_format.h"

namespace capture {

CaptureFacts MakeFacts(const QString &chipName, const std::vector<uint8_t> &registers,
                       const conversion::ConversionFacts &conversion, const QDateTime &start) {
    CaptureFacts facts;
    facts.chipName = chipName;
    facts.registers = registers;
    facts.conversion = conversion;
    facts.programVersion = ProgramVersion();
    facts.startTime = start.toOffsetFromUtc(start.offsetFromUtc()).toString(Qt::ISODate);
    return facts;
}

std::vector<RecordedFact> ConversionRecord(const conversion::ConversionFacts &conversion) {
    const bool given = conversion.referenceSource == conversion::ReferenceSource::Given;
    std::vector<RecordedFact> record{
        {format::kReferenceVolts, conversion.referenceVolts},
        {format::kReferenceSource,
         given ? QString::fromLatin1(format::kReferenceGiven) : QStringLiteral("default")}};
    if (!conversion.mode.empty())
        record.push_back({format::kMode, QString::fromStdString(conversion.mode)});
    const bool known = conversion.modeKnown;
    record.push_back({known ? format::kPgaGain : format::kPgaGainGuess, conversion.pgaGain});
    record.push_back({known ? format::kDataRate : format::kDataRateGuess, conversion.dataRateSps});
    record.push_back(
        {known ? format::kVoltsPerCode : format::kVoltsPerCodeGuess, conversion.voltsPerCode});
    return record;
}

namespace {
constexpr QLatin1StringView kGuessed("_from_registers");
} // namespace

std::vector<RecordedFact> RecordedFactNames() {
    conversion::ConversionFacts known;
    known.mode = "a chip with modes";
    conversion::ConversionFacts guessed = known;
    guessed.modeKnown = false;
    std::vector<RecordedFact> names = ConversionRecord(known);
    for (const RecordedFact &fact : ConversionRecord(guessed)) {
        if (QLatin1StringView(fact.name).endsWith(kGuessed))
            names.push_back(fact);
    }
    return names;
}

bool TakeRecordedFact(conversion::ConversionFacts &conversion, const QString &name,
                      const QString &text, double number) {
    QString key = name;
    const bool guessed = key.endsWith(kGuessed);
    if (guessed)
        key.chop(kGuessed.size());
    if (key == QLatin1String(format::kReferenceVolts))
        conversion.referenceVolts = number;
    else if (key == QLatin1String(format::kReferenceSource))
        conversion.referenceSource = text == QLatin1String(format::kReferenceGiven)
                                         ? conversion::ReferenceSource::Given
                                         : conversion::ReferenceSource::Default;
    else if (key == QLatin1String(format::kMode))
        conversion.mode = text.toStdString();
    else if (key == QLatin1String(format::kPgaGain))
        conversion.pgaGain = number;
    else if (key == QLatin1String(format::kDataRate))
        conversion.dataRateSps = number;
    else if (key == QLatin1String(format::kVoltsPerCode))
        conversion.voltsPerCode = number;
    else
        return false;
    if (guessed)
        conversion.modeKnown = false;
    return true;
}

QString ProgramVersion() {
    return QStringLiteral(PELLORIN_VERSION_TEXT);
}

} // namespace capture
