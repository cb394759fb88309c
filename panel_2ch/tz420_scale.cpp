// What the noise analysis learns of this chip: gain and data rate of the mode the board
// confirmed (a fixed mode's own, or CR1's in "Command Mode"). The reference is not the
// panel's to know; the analysis window asks the user for it.

#include "tz420_dlg.h"

using namespace vxc5420;

ConversionScale TZ420Dlg::CurrentScale() const {
    ConversionScale scale;
    FixedSelection fixed{};
    // The lists hold one entry per code in code order, so a position is its code.
    const bool fixedMode = FixedModeSelection(m_appliedMode, fixed);
    const int pgaCode = fixedMode ? fixed.pgaPosition : PgaCode(m_current[kCr1]);
    const int rateCode = fixedMode ? fixed.ratePosition : RateCode(m_current[kCr1]);
    scale.pgaGain = PgaGain(pgaCode);
    scale.sampleRateHz = DataRateSps(rateCode);
    scale.spanPerReference = kSpanPerReference;
    return scale;
}
