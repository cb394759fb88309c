#pragma once
// The VXC5480 at gain 1 and its board's reference, as the chip's core states them, at whatever
// rate a test's record was made: tests and benches that need a scale ask the chip core rather
// than type its reference and span again.

#include "chips/vxc5480/chip_facts.h"
#include "chips/vxc5480/register_fields.h"

inline conversion::ConversionFacts Vxc5480GainOneAt(double dataRateSps) {
    const vxc5480::RegisterImage image{}; // ADCON 0: gain 1
    conversion::ConversionFacts facts = vxc5480::Facts(image);
    facts.dataRateSps = dataRateSps;
    return facts;
}
