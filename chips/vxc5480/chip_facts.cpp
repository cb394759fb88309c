#include "chip_facts.h"

#include "register_fields.h"

namespace vxc5480 {
namespace {
// The chip decodes DRATE by its high half: a byte the list does not offer (only "All Regs" can
// write one) converts at the rate of the listed byte with the same high half.
double ConvertingRate(uint8_t drate) {
    for (const ComboItem &item : TableEntries(DataRateItems))
        if ((item.code >> 4) == (drate >> 4))
            return DataRateSps(static_cast<uint8_t>(item.code));
    return 0.0;
}
} // namespace

int SettlingConversions(double dataRateSps) {
    // The chip's sinc filter alone at the fast rates needs four conversions to forget the input
    // before; at the slow rates an averager follows it, and the second conversion is settled.
    return dataRateSps >= 1000.0 ? 4 : 1;
}

conversion::ConversionFacts Facts(std::span<const uint8_t> image,
                                  std::optional<double> referenceVolts) {
    conversion::ConversionFacts facts;
    facts.referenceRange = kReferenceRange;
    facts.spanPerReference = kSpanPerReference;
    if (image.size() >= static_cast<size_t>(kRegisterCount)) {
        facts.pgaGain = PgaGain(image[kAdcon]);
        facts.dataRateSps = ConvertingRate(image[kDrate]);
        facts.settlingConversions = SettlingConversions(facts.dataRateSps);
    }
    return conversion::WithReference(facts, referenceVolts);
}

} // namespace vxc5480
