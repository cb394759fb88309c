#include "chip_facts.h"

#include "register_fields.h"

#include <string>

namespace vxc5420 {
namespace {
std::string ModeText(int mode) {
    for (const ComboItem &item : TableEntries(ModeItems)) {
        if (item.code == mode) {
            std::string text = item.text;
            // The list's first text ends in a blank.
            while (!text.empty() && text.back() == ' ')
                text.pop_back();
            return std::to_string(mode) + ": " + text;
        }
    }
    return kModeUnknownText;
}
} // namespace

conversion::ConversionFacts Facts(std::span<const uint8_t> image, int appliedMode,
                                  std::optional<double> referenceVolts) {
    conversion::ConversionFacts facts;
    facts.referenceRange = kReferenceRange;
    facts.spanPerReference = kSpanPerReference;
    facts.modeKnown = appliedMode >= kFirstMode && appliedMode <= kCommandMode;
    facts.mode = ModeText(appliedMode);
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
    return conversion::WithReference(facts, referenceVolts);
}

} // namespace vxc5420
