// What the analysis, the capture and the scan learn of this chip: the chip core's facts of the
// registers as last read or confirmed.

#include "chips/vxc5480/chip_facts.h"
#include "tz410_dlg.h"

conversion::ConversionFacts TZ410Dlg::CurrentFacts(std::optional<double> referenceVolts) const {
    return vxc5480::Facts(m_current, referenceVolts);
}
