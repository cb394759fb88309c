#include "capture_facts.h"

namespace capture {

CaptureFacts MakeFacts(const QString &chipName, const std::vector<uint8_t> &registers,
                       const analysis::ConversionFacts &conversion, const QDateTime &start) {
    CaptureFacts facts;
    facts.chipName = chipName;
    facts.registers = registers;
    facts.conversion = conversion;
    facts.programVersion = ProgramVersion();
    facts.startTime = start.toOffsetFromUtc(start.offsetFromUtc()).toString(Qt::ISODate);
    return facts;
}

std::vector<RecordedFact> ConversionRecord(const analysis::ConversionFacts &conversion) {
    const bool given = conversion.referenceSource == analysis::ReferenceSource::Given;
    std::vector<RecordedFact> record{
        {"reference_volts", conversion.referenceVolts},
        {"reference_source", given ? QStringLiteral("given") : QStringLiteral("default")}};
    if (!conversion.mode.empty())
        record.push_back({"mode", QString::fromStdString(conversion.mode)});
    const bool known = conversion.modeKnown;
    record.push_back({known ? "pga_gain" : "pga_gain_from_registers", conversion.pgaGain});
    record.push_back(
        {known ? "data_rate_sps" : "data_rate_sps_from_registers", conversion.dataRateSps});
    record.push_back(
        {known ? "volts_per_code" : "volts_per_code_from_registers", conversion.voltsPerCode});
    return record;
}

QString ProgramVersion() {
    return QStringLiteral(PELLORIN_VERSION_TEXT);
}

} // namespace capture
