#include "capture_facts.h"

namespace capture {

CaptureFacts MakeFacts(const QString &chipName, const std::vector<uint8_t> &registers,
                       analysis::ConversionScale scale, const QDateTime &start) {
    if (!(scale.referenceVolts > 0))
        scale.referenceVolts = kDefaultReferenceVolts;
    CaptureFacts facts;
    facts.chipName = chipName;
    facts.registers = registers;
    facts.referenceVolts = scale.referenceVolts;
    facts.pgaGain = scale.pgaGain;
    facts.dataRateSps = scale.sampleRateHz;
    facts.voltsPerCode = analysis::LsbVolts(
        analysis::FullScaleVolts(scale.referenceVolts, scale.pgaGain, scale.spanPerReference));
    facts.programVersion = ProgramVersion();
    facts.startTime = start.toOffsetFromUtc(start.offsetFromUtc()).toString(Qt::ISODate);
    return facts;
}

QString ProgramVersion() {
    return QStringLiteral(PELLORIN_VERSION_TEXT);
}

} // namespace capture
