#include "chip_facts.h"

#include "register_fields.h"

namespace vxc5420 {

analysis::ConversionFacts Facts(std::span<const uint8_t> image, int appliedMode,
                                std::optional<double> referenceVolts) {
    analysis::ConversionFacts facts;
    facts.spanPerReference = kSpanPerReference;
    facts.referenceVolts = referenceVolts.value_or(kDefaultReferenceVolts);
    facts.referenceSource =
        referenceVolts ? analysis::ReferenceSource::Given : analysis::ReferenceSource::Default;
    facts.modeKnown = appliedMode != kModeUnknown;
    FixedSelection fixed{};
    // The lists hold one entry per code in code order, so a fixed mode's position is its code.
    if (FixedModeSelection(appliedMode, fixed)) {
        facts.pgaGain = PgaGain(fixed.pgaPosition);
        facts.dataRateSps = DataRateSps(fixed.ratePosition);
    } else if (image.size() >= static_cast<size_t>(kRegisterCount)) {
        facts.pgaGain = PgaGain(PgaCode(image[kCr1]));
        facts.dataRateSps = DataRateSps(RateCode(image[kCr1]));
    }
    if (facts.dataRateSps > 0)
        facts.settlingConversions = kSettlingConversions;
    return analysis::WithScale(facts);
}

} // namespace vxc5420
